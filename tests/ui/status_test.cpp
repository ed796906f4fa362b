#include "applicationsetup.h"
#include "browserstub.h"
#include "httpstub.h"
#include "mainwindow.h"
#include "statuspanels.h"
#include "twips.h"
#include "versioncheck.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using lanshan::StatusPanels;
using windowtest::Browser;
using windowtest::maker;

class StatusTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void asCreated();
    void setUp();
    void panelsTileTheBar();
    void doubleClicks();
    void failureTooltips_data();
    void failureTooltips();
    void inTheMainWindow();
    void mainWindowChecksOnItsSecondTick();
    void mainWindowSaysWhyACheckFailed();
};

void StatusTest::asCreated()
{
    QStatusBar bar;
    StatusPanels panels(&bar, maker);
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(panels.panel(i)->objectName(), u"StatusBar1Panel%1"_s.arg(i));
        QCOMPARE(bar.findChild<QLabel *>(u"StatusBar1Panel%1"_s.arg(i)), panels.panel(i));
        QCOMPARE(panels.width(i), 1440.0);
        QCOMPARE(panels.text(i), QString());
    }
}

void StatusTest::setUp()
{
    QStatusBar bar;
    StatusPanels panels(&bar, maker);
    panels.setUp(11000);
    QCOMPARE(panels.text(1), u"作者:王小明"_s);
    QCOMPARE(panels.text(2), u"QQ:10001"_s);
    QCOMPARE(panels.text(3), StatusPanels::waitingText.toString());
    QCOMPARE(panels.text(4), u"http://127.0.0.1:8080"_s);
    const double widths[] = {2500, 2500, 2500, 3500};
    const QString tips[] = {QString(), QString(), u"双击可下载最新版本"_s, u"双击访问官网"_s};
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(panels.width(i), widths[i - 1]);
        QCOMPARE(panels.panel(i)->toolTip(), tips[i - 1]);
        // The server's text is shown as it comes, never as markup.
        QCOMPARE(panels.panel(i)->textFormat(), Qt::PlainText);
    }
    panels.setUp(10995);
    QCOMPARE(panels.width(4), 3495.0);
}

void StatusTest::panelsTileTheBar()
{
    QStatusBar bar;
    bar.resize(lanshan::toPixels(11000), lanshan::toPixels(375));
    StatusPanels panels(&bar, maker);
    panels.setUp(11000);
    // Edges from the running sum of the widths: no gaps, and the last one ends with the bar.
    const int edges[] = {0, lanshan::toPixels(2500), lanshan::toPixels(5000), lanshan::toPixels(7500), bar.width()};
    for (int i = 1; i <= 4; ++i) {
        const QRect g = panels.panel(i)->geometry();
        QCOMPARE(g.left(), edges[i - 1]);
        QCOMPARE(g.right() + 1, edges[i]);
        QCOMPARE(g.height(), bar.height());
    }
}

void StatusTest::doubleClicks()
{
    Browser browser;
    QStatusBar bar;
    bar.resize(lanshan::toPixels(11000), lanshan::toPixels(375));
    StatusPanels panels(&bar, maker);
    panels.setUp(11000);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));

    for (int i = 1; i <= 4; ++i)
        QTest::mouseClick(panels.panel(i), Qt::LeftButton);
    QTest::mouseDClick(panels.panel(1), Qt::LeftButton);
    QTest::mouseDClick(panels.panel(2), Qt::LeftButton);
    QCOMPARE(browser.opened, QList<QUrl>());

    const QUrl download(u"http://127.0.0.1:8080/update.php?sort=LanshanQingdan"_s);
    const QUrl home(u"http://127.0.0.1:8080"_s);
    QTest::mouseDClick(panels.panel(3), Qt::LeftButton);
    QCOMPARE(browser.opened, QList<QUrl>{download});
    // Whatever panel 3 shows.
    for (const QString &text :
         QStringList{StatusPanels::checkingText.toString(), StatusPanels::versionLabel + u"2.0.15"_s}) {
        panels.setText(3, text);
        QTest::mouseDClick(panels.panel(3), Qt::LeftButton);
    }
    QTest::mouseDClick(panels.panel(4), Qt::LeftButton);
    QCOMPARE(browser.opened, (QList<QUrl>{download, download, download, home}));
    QCOMPARE(browser.opened.last().toString(), panels.text(4));
}

void StatusTest::failureTooltips_data()
{
    QTest::addColumn<lanshan::VersionCheck::Failure>("failure");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("tip");
    using Failure = lanshan::VersionCheck::Failure;
    QTest::newRow("host not found") << Failure::HostNotFound << 30 << u"上次检测失败：找不到服务器，30 秒后重试。"_s;
    QTest::newRow("refused") << Failure::Refused << 29 << u"上次检测失败：服务器拒绝连接，29 秒后重试。"_s;
    QTest::newRow("timed out") << Failure::TimedOut << 10 << u"上次检测失败：连接超时，10 秒后重试。"_s;
    QTest::newRow("bad answer") << Failure::BadAnswer << 1 << u"上次检测失败：服务器的回答无法识别，1 秒后重试。"_s;
    QTest::newRow("other") << Failure::NetworkError << 30 << u"上次检测失败：网络错误，30 秒后重试。"_s;
    QTest::newRow("none: the panel's own") << Failure::None << 0 << u"双击可下载最新版本"_s;
}

// Panel 3 keeps saying it waits; its tooltip says why, and goes once there is no failure.
void StatusTest::failureTooltips()
{
    QFETCH(lanshan::VersionCheck::Failure, failure);
    QFETCH(int, seconds);
    QFETCH(QString, tip);
    QStatusBar bar;
    StatusPanels panels(&bar, maker);
    panels.setUp(11000);
    panels.showVersionCheck(lanshan::VersionCheck::State::Waiting, QString());
    panels.showCheckFailure(failure, seconds);
    QCOMPARE(panels.text(3), StatusPanels::waitingText.toString());
    QCOMPARE(panels.panel(3)->toolTip(), tip);
    panels.showCheckFailure(lanshan::VersionCheck::Failure::None, 0);
    QCOMPARE(panels.panel(3)->toolTip(), u"双击可下载最新版本"_s);
}

void StatusTest::inTheMainWindow()
{
    lanshan::setUpApplication();
    lanshan::MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *panels = window.findChild<StatusPanels *>();
    auto *bar = window.findChild<QStatusBar *>(u"StatusBar1"_s);
    QVERIFY(panels && bar);
    const lanshan::MakerInfo built = lanshan::builtInMakerInfo();
    QCOMPARE(panels->text(1), u"作者:"_s + built.authorName);
    QCOMPARE(panels->text(2), u"QQ:"_s + built.authorQq);
    QCOMPARE(panels->text(3), StatusPanels::waitingText.toString());
    QCOMPARE(panels->text(4), u"http://"_s + built.webHost);
    // Panel 4 takes what the other three leave of the window's whole width.
    QCOMPARE(panels->width(4), lanshan::toTwips(window.width()) - 3 * 2500);
    QCOMPARE(bar->width(), window.width());
    QCOMPARE(panels->panel(4)->geometry().right(), bar->width() - 1);
    QVERIFY(panels->panel(4)->isVisible());

    // One icon, two images of 24 bits per pixel.
    QCOMPARE(window.windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    for (int size : {16, 32}) {
        const QImage image = window.windowIcon().pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(!image.hasAlphaChannel() && !image.allGray());
    }
}

void StatusTest::mainWindowChecksOnItsSecondTick()
{
    // Timer1 drives the check: its second tick, about two seconds after start-up, asks.
    versiontest::HttpStub stub;
    lanshan::setUpApplication();
    lanshan::MainWindow window;
    auto *check = window.findChild<lanshan::VersionCheck *>();
    QVERIFY(check);
    check->setHost(stub.host());
    window.show();
    QTRY_COMPARE_WITH_TIMEOUT(check->currentTickcount(), 1, 3000);
    QCOMPARE(stub.targets().size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(window.findChild<StatusPanels *>()->text(3),
                              QString(StatusPanels::versionLabel + u"2.0.15"_s), 4000);
    QCOMPARE(stub.targets().size(), 1);
}

void StatusTest::mainWindowSaysWhyACheckFailed()
{
    versiontest::HttpStub stub;
    lanshan::setUpApplication();
    lanshan::MainWindow window;
    auto *check = window.findChild<lanshan::VersionCheck *>();
    QVERIFY(check);
    check->setHost(stub.host());
    stub.close();
    window.show();
    QLabel *panel3 = window.findChild<StatusPanels *>()->panel(3);
    // The seconds run down with the window's timer.
    QTRY_VERIFY_WITH_TIMEOUT(panel3->toolTip().startsWith(u"上次检测失败：服务器拒绝连接，"_s), 5000);
    QVERIFY2(panel3->toolTip().endsWith(u" 秒后重试。"_s), qPrintable(panel3->toolTip()));
    QCOMPARE(panel3->text(), StatusPanels::waitingText.toString());
}

QTEST_MAIN(StatusTest)
#include "status_test.moc"
