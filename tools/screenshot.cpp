// screenshot OUTDIR: renders the main window offscreen in its telling states, one PNG each,
// so that the layout can be checked without a display.

#include "mainwindow.h"
#include "messages.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

bool save(QWidget &window, const QDir &dir, const QString &name)
{
    QApplication::processEvents();
    const QString path = dir.filePath(name + u".png"_s);
    if (!window.grab().save(path)) {
        QTextStream(stderr) << "screenshot: cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

void click(QWidget &window, const QString &button)
{
    if (auto *b = window.findChild<QPushButton *>(button))
        b->click();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: screenshot OUTDIR\n";
        return 2;
    }
    QDir dir(args.at(1));
    if (!dir.mkpath(u"."_s)) {
        QTextStream(stderr) << "screenshot: cannot create " << args.at(1) << '\n';
        return 2;
    }
    lanshan::setMessageObserver([](const QString &, QMessageBox::Icon) {});

    lanshan::MainWindow window;
    window.show();
    bool ok = save(window, dir, u"1-startup"_s);
    click(window, u"Command7"_s);
    ok = save(window, dir, u"2-demo-data"_s) && ok;
    click(window, u"Command1"_s);
    ok = save(window, dir, u"3-demo-result"_s) && ok;
    click(window, u"Command11"_s);
    ok = save(window, dir, u"5-synchronized-view"_s) && ok;
    click(window, u"Command4"_s);

    // A name that stands in two rows: the run stops and asks which row is meant.
    auto *keys = window.findChild<QPlainTextEdit *>(u"Text1"_s);
    auto *rows = window.findChild<QPlainTextEdit *>(u"Text2"_s);
    if (keys && rows) {
        rows->setPlainText(rows->toPlainText() + u"陈雨桐\t79\t良\t优\t80\t良\t70\t良\n"_s);
        click(window, u"Command1"_s);
        ok = save(window, dir, u"4-manual-matching"_s) && ok;
        click(window, u"Command12"_s);
    }
    click(window, u"Command8"_s);
    ok = save(window, dir, u"6-all-cleared"_s) && ok;
    return ok ? 0 : 1;
}
