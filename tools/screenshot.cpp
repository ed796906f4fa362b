// screenshot OUTDIR: renders the main window offscreen in its telling states, one PNG each,
// so that the layout can be checked without a display.

#include "applicationsetup.h"
#include "cellgriddelegate.h"
#include "mainwindow.h"
#include "messages.h"
#include "statuspanels.h"
#include "versioncheck.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

#include <functional>
#include <memory>
#include <utility>

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

// The window with the popup open over it, as the screen shows the two.
bool saveWithPopup(QWidget &window, QWidget &popup, const QDir &dir, const QString &name)
{
    QApplication::processEvents();
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(window.mapFromGlobal(popup.pos()), popup.grab());
    painter.end();
    const QString path = dir.filePath(name + u".png"_s);
    if (!picture.save(path)) {
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

bool waitUntil(const std::function<bool()> &done)
{
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The report's first item in 内容 that is cut for width, hovered: its tooltip over the window.
bool saveCutItemTip(QWidget &window, const QDir &dir, const QString &name)
{
    auto *tree = window.findChild<QTreeView *>(u"reconcileTree"_s);
    auto *delegate = tree ? qobject_cast<lanshan::CellGridDelegate *>(tree->itemDelegate()) : nullptr;
    if (!delegate)
        return false;
    const QAbstractItemModel *model = tree->model();
    QModelIndex cut;
    for (QModelIndex at = model->index(0, 0); at.isValid() && !cut.isValid(); at = tree->indexBelow(at)) {
        if (!delegate->toolTipAt(at.siblingAtColumn(1)).isEmpty())
            cut = at.siblingAtColumn(1);
    }
    if (!cut.isValid())
        return false;
    tree->scrollTo(cut);
    // Near the item's left end, so that the tooltip lies over the window.
    const QPoint at = tree->visualRect(cut).center() - QPoint(tree->visualRect(cut).width() / 3, 0);
    QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &help);
    QWidget *tip = nullptr;
    waitUntil([&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == u"qtooltip_label"_s && top->isVisible())
                tip = top;
        return tip != nullptr;
    });
    const bool ok = tip && saveWithPopup(window, *tip, dir, name);
    QToolTip::hideText();
    return ok;
}

// The status bar while the version check asks a server on this machine, and after its answer
// "LanshanQingdan:2.0.15"; then the about dialog, grabbed on its own.
bool saveStatusAndAbout(lanshan::MainWindow &window, const QDir &dir)
{
    auto *check = window.findChild<lanshan::VersionCheck *>();
    auto *panels = window.findChild<lanshan::StatusPanels *>();
    QTcpServer server;
    if (!check || !panels || !server.listen(QHostAddress::LocalHost, 0))
        return false;
    QByteArray request;
    QTcpSocket *client = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
        client = server.nextPendingConnection();
        QObject::connect(client, &QTcpSocket::readyRead, client, [&] { request += client->readAll(); });
    });
    check->setHost(u"127.0.0.1:%1"_s.arg(server.serverPort()));
    check->tick();
    check->tick();
    bool ok = waitUntil([&] { return request.contains("\r\n\r\n"); });
    ok = save(window, dir, u"7-version-checking"_s) && ok;
    if (client) {
        client->write("HTTP/1.1 200 OK\r\nContent-Length: 21\r\nConnection: close\r\n\r\nLanshanQingdan:2.0.15");
        client->disconnectFromHost();
    }
    ok = waitUntil([&] { return !check->isChecking(); }) && ok;
    ok = save(window, dir, u"8-server-version"_s) && ok;

    click(window, u"Command3"_s);
    auto *about = window.findChild<QWidget *>(u"frmAbout"_s);
    return about && save(*about, dir, u"9-about"_s) && ok;
}

// The demo data filled in and run: its result, 复制列 open over it, the synchronized view and
// the reconciliation.
bool saveDemoRun(QWidget &window, const QDir &dir)
{
    bool ok = true;
    click(window, u"Command7"_s);
    ok = save(window, dir, u"2-demo-data"_s) && ok;
    click(window, u"Command1"_s);
    ok = save(window, dir, u"3-demo-result"_s) && ok;
    // The picture of the README: the result, the line below the buttons, and 复制列 open on it.
    click(window, u"copyColumnsButton"_s);
    if (auto *popup = window.findChild<QWidget *>(u"columnsPopup"_s)) {
        if (auto *columns = window.findChild<QComboBox *>(u"columnsBox"_s))
            columns->setEditText(u"3"_s);
        ok = saveWithPopup(window, *popup, dir, u"3-demo-result-columns"_s) && ok;
        popup->hide();
    }
    click(window, u"Command11"_s);
    ok = save(window, dir, u"5-synchronized-view"_s) && ok;
    click(window, u"Command4"_s);
    click(window, u"reconcileButton"_s);
    ok = save(window, dir, u"5-reconciliation"_s) && ok;
    click(window, u"reconcileBackButton"_s);
    return ok;
}

// A name that stands in two rows: the run stops and asks which row is meant.
bool saveManualMatching(QWidget &window, QPlainTextEdit &keys, QPlainTextEdit &rows, const QDir &dir)
{
    bool ok = true;
    rows.setPlainText(rows.toPlainText() + u"陈雨桐\t79\t良\t优\t80\t良\t70\t良\n"_s);
    click(window, u"Command1"_s);
    ok = save(window, dir, u"4-manual-matching"_s) && ok;
    click(window, u"Command12"_s);
    // Seat numbers as keys, one of them among the scores: the key column would settle it.
    const QString keysBefore = keys.toPlainText();
    const QString rowsBefore = rows.toPlainText();
    keys.setPlainText(u"1\n2\n3\n4"_s);
    rows.setPlainText(u"1\t甲\t90\t优\n2\t乙\t3\t差\n3\t丙\t88\t良\n4\t丁\t2\t差"_s);
    click(window, u"Command1"_s);
    ok = save(window, dir, u"4-manual-matching-key-column"_s) && ok;
    click(window, u"Command12"_s);
    keys.setPlainText(keysBefore);
    rows.setPlainText(rowsBefore);
    return ok;
}

// Keys that find no row for reasons the eye does not see: the reconciliation says why. Then
// only the scores to the clipboard: the box that 复制列 opens, its note, and its refusal once the
// inputs changed.
bool saveNearRowsAndColumns(QWidget &window, QPlainTextEdit &keys, QPlainTextEdit &rows, const QDir &dir)
{
    bool ok = true;
    keys.setPlainText(u"张三\n李四\nS2023017\n王五\n张明玉\n陈静"_s);
    rows.setPlainText(u"学号\t姓名\t分数\n张\u3000三\t90\nｓ２０２３０１７\t88\n90\t3班\t王五\n"
                      u"张江玉\t70\n李四\t85\n陳靜\t77"_s);
    click(window, u"Command1"_s);
    click(window, u"reconcileButton"_s);
    ok = save(window, dir, u"5-reconciliation-near-rows"_s) && ok;
    click(window, u"reconcileBackButton"_s);
    click(window, u"copyColumnsButton"_s);
    auto *popup = window.findChild<QWidget *>(u"columnsPopup"_s);
    auto *columns = window.findChild<QComboBox *>(u"columnsBox"_s);
    if (popup && columns) {
        columns->setEditText(u"2"_s);
        ok = saveWithPopup(window, *popup, dir, u"9-copy-columns"_s) && ok;
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s);
        QApplication::sendEvent(columns->lineEdit(), &enter);
        ok = save(window, dir, u"9-columns-copied"_s) && ok;
        // The inputs changed since: no column of the old result goes to the clipboard.
        rows.appendPlainText(u"赵六\t66"_s);
        click(window, u"copyColumnsButton"_s);
        ok = saveWithPopup(window, *popup, dir, u"10-out-of-date-refused"_s) && ok;
        popup->hide();
    }
    return ok;
}

// The score sheet in the list's box and the names in the data's: nothing found, the clipboard
// left alone, and the boxes offered the other way round. messageShot names the picture of the
// message that follows.
void runSwappedBoxes(QWidget &window, QPlainTextEdit &keys, QPlainTextEdit &rows, QString &messageShot)
{
    keys.setPlainText(u"姓名\t语文\n张三\t90\n李四\t85\n王五\t77"_s);
    rows.setPlainText(u"李四\n王五\n张三"_s);
    messageShot = u"10-swapped-boxes"_s;
    click(window, u"Command1"_s);
}

// The report's rows: a class list of 学号 and 姓名 whose one 学号 the sheet lacks shows the
// list's columns and the row that holds part of the line; rows of eight cells, full-width
// spaces among them, are drawn in columns that line up, cut with "…" and whole in the tooltip;
// in a larger window the columns share the width and the rows show whole.
bool saveReportRows(QWidget &window, QPlainTextEdit &keys, QPlainTextEdit &rows, const QDir &dir)
{
    bool ok = true;
    keys.setPlainText(u"学号\t姓名\n1\t张三\n2\t李四\n3\t王五"_s);
    rows.setPlainText(u"学号\t姓名\t语文\n2\t李四\t85\n1\t张三\t90\n4\t王五\t77"_s);
    click(window, u"Command1"_s);
    click(window, u"reconcileButton"_s);
    ok = save(window, dir, u"11-class-list-report"_s) && ok;
    click(window, u"reconcileBackButton"_s);
    keys.setPlainText(u"李娜\n王小明\n欧阳娜娜\n赵六"_s);
    rows.setPlainText(u"学号\t姓名\t语文\t数学\t英语\t物理\t化学\t历史\n3\t李娜\u3000\t83\t77\t90\t53\t32\t61\n"
                      u"12\t王 小明\t95\t88\t76\t81\t60\t70\n7\t欧阳\u3000娜娜\t100\t99\t98\t97\t96\t95\n"
                      u"20\tZhao Liu\t1\t2\t3\t4\t5\t6"_s);
    click(window, u"Command1"_s);
    click(window, u"reconcileButton"_s);
    ok = save(window, dir, u"12-report-rows"_s) && ok;
    ok = saveCutItemTip(window, dir, u"12-report-row-tooltip"_s) && ok;
    const QSize designed = window.size();
    const QSize larger = designed + QSize(560, 240);
    window.resize(larger);
    waitUntil([&] { return window.size() == larger; });
    ok = save(window, dir, u"12-report-rows-larger"_s) && ok;
    window.resize(designed);
    waitUntil([&] { return window.size() == designed; });
    click(window, u"reconcileBackButton"_s);
    return ok;
}

// The synchronized view of a class list of 学号 and 姓名, twelve lines: the key list shows both
// cells of a line, ⇥ between them; the result's columns line up past entry 9, after a name of
// three characters, and where a row's first cell (its class) is empty.
bool saveClassListView(QWidget &window, QPlainTextEdit &keys, QPlainTextEdit &rows, const QDir &dir)
{
    const QStringList names{u"侯怡敏"_s, u"宋刚"_s,   u"欧阳娜娜"_s, u"李娜"_s, u"王小明"_s, u"赵六"_s,
                            u"陈静"_s,   u"张明玉"_s, u"刘洋"_s,     u"孙悦"_s, u"周杰"_s,   u"吴敏"_s};
    QStringList keyLines;
    QStringList rowLines;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString number = QString::number(2024000000 + i);
        keyLines.append(number + u'\t' + names[i]);
        // The fourth student's class is empty in the sheet.
        rowLines.prepend((i == 3 ? QString() : u"一班"_s) + u'\t' + number + u'\t' + names[i] + u'\t'
                         + QString::number(60 + 3 * i));
    }
    keys.setPlainText(keyLines.join(u'\n'));
    rows.setPlainText(rowLines.join(u'\n'));
    click(window, u"Command1"_s);
    click(window, u"Command11"_s);
    const bool ok = save(window, dir, u"13-class-list-synchronized"_s);
    click(window, u"Command4"_s);
    return ok;
}

// Class 3's list of 学号 and 姓名 against the grade's sheet: two students have no row, one whose
// namesake in class 1 has another 学号; two more differ by a full-width 学号 and a space. The
// message after the run names the empty lines; the report, once 采用全部可靠行 took the two rows
// that are surely theirs, lists them under 已采用 and keeps the namesake for the user to judge.
bool saveBlanksAndTakings(QWidget &window, QPlainTextEdit &keys, QPlainTextEdit &rows, QString &messageShot,
                          const QDir &dir)
{
    keys.setPlainText(u"2024010301\t董芬娟\n2024010302\t顾子\n２０２４０１０３０３\t薛琪\n2024010304\t王一俊\n"
                      u"2024010305\t李 明\n2024010306\t孙悦"_s);
    rows.setPlainText(u"学号\t姓名\t班级\t语文\n2024010150\t顾子\t高一(1)班\t99\n2024010306\t孙悦\t高一(3)班\t88\n"
                      u"2024010303\t薛琪\t高一(3)班\t91\n2024010305\t李明\t高一(3)班\t76\n"
                      u"2024010151\t董芬\t高一(1)班\t80\n2024010304\t王一俊\t高一(3)班\t67"_s);
    messageShot = u"14-blanks-named"_s;
    click(window, u"Command1"_s);
    bool ok = messageShot.isEmpty();
    click(window, u"reconcileButton"_s);
    click(window, u"adoptReliableButton"_s);
    ok = save(window, dir, u"14-report-after-taking"_s) && ok;
    if (auto *tree = window.findChild<QTreeView *>(u"reconcileTree"_s)) {
        // The taken group in sight, its first line current.
        const QModelIndex taken = tree->model()->index(4, 0);
        tree->scrollTo(tree->model()->index(0, 0, taken), QAbstractItemView::PositionAtTop);
        tree->setCurrentIndex(tree->model()->index(0, 0, taken));
        ok = save(window, dir, u"14-taken-group"_s) && ok;
    }
    click(window, u"reconcileBackButton"_s);
    return ok;
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
    lanshan::setUpApplication();
    lanshan::MainWindow window;
    // Messages are not shown, but for the one named here, grabbed over the window as the screen
    // shows it and closed.
    QString messageShot;
    bool ok = true;
    lanshan::setMessageObserver([&](const QString &text, QMessageBox::Icon icon, const QString &action) {
        if (!messageShot.isEmpty()) {
            const std::unique_ptr<QMessageBox> box = lanshan::messageBox(&window, text, icon, action);
            box->show();
            ok = saveWithPopup(window, *box, dir, std::exchange(messageShot, QString())) && ok;
        }
        return false;
    });
    // The tool drives the version check itself, against a server on this machine only.
    if (auto *timer = window.findChild<QTimer *>(u"Timer1"_s))
        timer->stop();
    window.show();
    ok = save(window, dir, u"1-startup"_s) && ok;
    ok = saveDemoRun(window, dir) && ok;
    auto *keys = window.findChild<QPlainTextEdit *>(u"Text1"_s);
    auto *rows = window.findChild<QPlainTextEdit *>(u"Text2"_s);
    if (keys && rows) {
        ok = saveManualMatching(window, *keys, *rows, dir) && ok;
        ok = saveNearRowsAndColumns(window, *keys, *rows, dir) && ok;
        runSwappedBoxes(window, *keys, *rows, messageShot);
        ok = saveReportRows(window, *keys, *rows, dir) && ok;
        ok = saveClassListView(window, *keys, *rows, dir) && ok;
        ok = saveBlanksAndTakings(window, *keys, *rows, messageShot, dir) && ok;
    }
    click(window, u"Command8"_s);
    ok = save(window, dir, u"6-all-cleared"_s) && ok;
    ok = saveStatusAndAbout(window, dir) && ok;
    return ok ? 0 : 1;
}
