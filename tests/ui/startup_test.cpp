#include "mainwindow.h"
#include "windowdriver.h"

#include <QApplication>
#include <QFont>
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
    void titleCentringAndHiddenControls();
    void clientAreaAsDesigned_data();
    void clientAreaAsDesigned();
};

// Puts the application's font back, and the layout's scale with it, however a test ends.
class FontRestorer
{
public:
    FontRestorer()
        : m_font(QApplication::font())
    { }
    ~FontRestorer()
    {
        QApplication::setFont(m_font);
        lanshan::setUpApplication();
    }
    FontRestorer(const FontRestorer &) = delete;
    FontRestorer &operator=(const FontRestorer &) = delete;

private:
    QFont m_font;
};

void StartupTest::titleCentringAndHiddenControls()
{
    lanshan::setUpApplication();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.objectName(), u"main"_s);
    QCOMPARE(window.windowTitle(), u"岚杉数据筛选器 V"_s + windowtest::versionText());
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

// The client area opens 11000 twips wide and 0.681 of that plus 100 high: 7591 twips. A twip is
// 1/15 of a logical pixel at the designed 9 points; a larger font enlarges both alike, a smaller
// one leaves them. Worked out by hand, so that a change to the design shows here. Every size
// fits the test screen (800 x 600) with a frame, which would otherwise cut the height.
void StartupTest::clientAreaAsDesigned_data()
{
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<QSize>("clientArea");
    // 11000 / 15 = 733.3, 7591 / 15 = 506.1.
    QTest::newRow("9 points, as designed") << 9.0 << QSize(733, 506);
    QTest::newRow("8 points, no smaller") << 8.0 << QSize(733, 506);
    // 13 pixels at 96 dots per inch, a size the font keeps: scaled by 9.75 / 9, 794.4 and 548.2.
    QTest::newRow("9.75 points") << 9.75 << QSize(794, 548);
}

void StartupTest::clientAreaAsDesigned()
{
    QFETCH(qreal, pointSize);
    QFETCH(QSize, clientArea);
    // The test screen's, at which a point is 4/3 of a pixel.
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96.0);
    const FontRestorer restorer;
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    QApplication::setFont(font);
    lanshan::setUpApplication();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), clientArea);
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
