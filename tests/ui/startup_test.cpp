#include "mainwindow.h"
#include "twips.h"
#include "windowdriver.h"

#include <QGroupBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;
using lanshan::MainWindow;

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titleSizeAndHiddenControls();
};

void StartupTest::titleSizeAndHiddenControls()
{
    lanshan::setUpApplication();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.objectName(), u"main"_s);
    QCOMPARE(window.windowTitle(), u"岚杉数据筛选器 V"_s + windowtest::versionText());
    QCOMPARE(window.width(), lanshan::toPixels(11000));
    QCOMPARE(window.height(), lanshan::toPixels(lanshan::toTwips(window.width()) * 0.681 + 100));
    // Centred on the screen, give or take the platform's frame.
    const QPoint offCentre = window.geometry().center() - window.screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 40, qPrintable(u"%1, %2"_s.arg(offCentre.x()).arg(offCentre.y())));

    auto *frame2 = window.findChild<QGroupBox *>(u"Frame2"_s);
    auto *frame3 = window.findChild<QGroupBox *>(u"Frame3"_s);
    QVERIFY(frame2 && frame3);
    QCOMPARE(frame3->geometry(), frame2->geometry());
    QVERIFY(frame3->isHidden());
    QCOMPARE(window.findChild<QPlainTextEdit *>(u"Text3"_s)->size(),
             window.findChild<QPlainTextEdit *>(u"Text2"_s)->size());
    for (const QString &name : {u"Text4"_s, u"Text5"_s, u"Frame4"_s, u"tongbuxianshi"_s, u"List5"_s})
        QVERIFY2(window.findChild<QWidget *>(name)->isHidden(), qPrintable(name));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
