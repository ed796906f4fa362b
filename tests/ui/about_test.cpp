#include "aboutdialog.h"
#include "browserstub.h"
#include "mainwindow.h"
#include "messages.h"
#include "twips.h"
#include "windowdriver.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using lanshan::AboutDialog;
using windowtest::Browser;
using windowtest::maker;

namespace {

// A shown main window, and "关于" pressed on it.
struct Opened : windowtest::ApplicationSetUp
{
    Opened()
    {
        lanshan::setMessageObserver([](const QString &, QMessageBox::Icon, const QString &) { return false; });
        window.show();
        press();
    }
    ~Opened() { lanshan::setMessageObserver({}); }
    void press() { window.findChild<QPushButton *>(u"Command3"_s)->click(); }
    AboutDialog *dialog() const { return window.findChild<AboutDialog *>(u"frmAbout"_s); }
    template<class Widget = QLabel>
    Widget *control(const QString &name) const
    {
        return dialog()->findChild<Widget *>(name);
    }

    lanshan::MainWindow window;
};

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts();
    void windowAndControls();
    void oneInstance();
    void closes_data();
    void closes();
    void mainWindowStaysUsable();
    void onlyTheLinkOpensTheHomePage();
};

void AboutTest::texts()
{
    lanshan::setUpApplication();
    AboutDialog dialog(maker);
    const auto text = [&](const QString &name) { return dialog.findChild<QLabel *>(name)->text(); };
    QCOMPARE(dialog.objectName(), u"frmAbout"_s);
    QCOMPARE(dialog.windowTitle(), u"关于 岚杉数据筛选器"_s);
    QCOMPARE(text(u"lblVersion"_s), u"版本 "_s + windowtest::versionText());
    QCOMPARE(text(u"lblTitle"_s), u"岚杉数据筛选器"_s);
    QCOMPARE(
        text(u"lblDescription"_s),
        u"岚杉数据筛选器，用于处理Excel等数据表之间数据顺序不统一的时候进行合并操作。比如：Cmis中成绩录入时，教师手中已有Excel成绩数据，但是顺序不统一，无法直接复制。使用此软件可以帮您快速按指定顺序筛选！"_s);
    QCOMPARE(text(u"Label1"_s), u"作者：王小明 wxm@x.example\r\nQQ：10001 飞信：20002"_s);
    QCOMPARE(text(u"Label2"_s), u"网站："_s);
    QCOMPARE(text(u"Label3"_s), u"http://127.0.0.1:8080"_s);
    QCOMPARE(dialog.findChild<QPushButton *>(u"cmdOK"_s)->text(), u"确定"_s);
}

void AboutTest::windowAndControls()
{
    Opened opened;
    AboutDialog *dialog = opened.dialog();
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(dialog->size(), QSize(lanshan::toPixels(7665), lanshan::toPixels(3300)));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QCOMPARE(dialog->windowType(), Qt::Dialog);
    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint));
    // Owned by the main window: no taskbar button of its own.
    QCOMPARE(dialog->parentWidget(), &opened.window);
    QCOMPARE(dialog->windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    QCOMPARE(dialog->windowIcon().pixmap(32).toImage(), opened.window.windowIcon().pixmap(32).toImage());

    auto *okButton = opened.control<QPushButton>(u"cmdOK"_s);
    QVERIFY(okButton->isDefault());
    QTRY_COMPARE(QApplication::focusWidget(), okButton);

    auto *pictureBox = opened.control(u"picIcon"_s);
    const QImage picture = pictureBox->pixmap().toImage();
    QCOMPARE(picture.size(), QSize(200, 200));
    QVERIFY(!picture.allGray());
    QCOMPARE(pictureBox->geometry(), lanshan::twipsRect(120, 120, 3060, 3060));

    // The description and the contact lines are not cut off, whatever the face's size.
    for (const QString &name : {u"lblDescription"_s, u"Label1"_s}) {
        const QLabel *label = opened.control(name);
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(name));
    }

    auto *link = opened.control(u"Label3"_s);
    QCOMPARE(link->text(), u"http://"_s + lanshan::builtInMakerInfo().webHost);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(link->font().underline());
    QCOMPARE(link->font().pointSize(), 9);
    QCOMPARE(link->font().families().value(0), u"宋体"_s);
    // 宋体 or, where it is missing, a face that has Chinese characters.
    QVERIFY(QFontDatabase::writingSystems(QFontInfo(link->font()).family()).contains(QFontDatabase::SimplifiedChinese));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->size(), link->sizeHint());
}

void AboutTest::oneInstance()
{
    Opened opened;
    QPointer<AboutDialog> first = opened.dialog();
    QVERIFY(first && first->isVisible());
    // Shown again as it stands: fillTexts does not run for an open dialog.
    opened.control(u"lblVersion"_s)->setText(u"changed"_s);
    opened.press();
    QCOMPARE(opened.window.findChildren<AboutDialog *>().size(), 1);
    QCOMPARE(opened.dialog(), first.data());
    QCOMPARE(opened.control(u"lblVersion"_s)->text(), u"changed"_s);
}

void AboutTest::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Enter") << u"Enter"_s;
    QTest::newRow("Escape") << u"Escape"_s;
    QTest::newRow("cmdOK") << u"cmdOK"_s;
    QTest::newRow("close box") << u"close box"_s;
}

void AboutTest::closes()
{
    QFETCH(QString, how);
    Opened opened;
    QPointer<AboutDialog> dialog = opened.dialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    opened.control(u"lblVersion"_s)->setText(u"changed"_s);
    if (how == u"Enter")
        QTest::keyClick(dialog, Qt::Key_Return);
    else if (how == u"Escape")
        QTest::keyClick(dialog, Qt::Key_Escape);
    else if (how == u"cmdOK")
        QTest::mouseClick(opened.control<QPushButton>(u"cmdOK"_s), Qt::LeftButton);
    else
        dialog->close();
    // Closed and unloaded.
    QTRY_VERIFY(dialog.isNull());
    QVERIFY(opened.window.isVisible());

    // The next opening loads it anew and runs fillTexts again.
    opened.press();
    QVERIFY(opened.dialog() && opened.dialog()->isVisible());
    QCOMPARE(opened.control(u"lblVersion"_s)->text(), u"版本 "_s + windowtest::versionText());
}

void AboutTest::mainWindowStaysUsable()
{
    Opened opened;
    QVERIFY(QTest::qWaitForWindowExposed(opened.dialog()));
    QVERIFY(!opened.dialog()->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // The demo data button of the main window works while the dialog is open.
    QTest::mouseClick(opened.window.findChild<QPushButton *>(u"Command7"_s), Qt::LeftButton);
    QVERIFY(!opened.window.findChild<QPlainTextEdit *>(u"Text1"_s)->toPlainText().isEmpty());
    QVERIFY(opened.dialog()->isVisible());
}

void AboutTest::onlyTheLinkOpensTheHomePage()
{
    Browser browser;
    Opened opened;
    AboutDialog *dialog = opened.dialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    for (const QString &name :
         {u"picIcon"_s, u"lblDescription"_s, u"lblTitle"_s, u"lblVersion"_s, u"Label1"_s, u"Label2"_s})
        QTest::mouseClick(opened.control(name), Qt::LeftButton);
    QTest::mouseClick(dialog, Qt::LeftButton, {}, QPoint(dialog->width() - 5, 5));
    QCOMPARE(browser.opened, QList<QUrl>());
    QTest::mouseClick(opened.control(u"Label3"_s), Qt::LeftButton);
    QCOMPARE(browser.opened, QList<QUrl>{QUrl(u"http://"_s + lanshan::builtInMakerInfo().webHost)});
    QVERIFY(dialog->isVisible());
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
