#include "httpstub.h"
#include "statuspanels.h"
#include "versioncheck.h"
#include "windowdriver.h"

#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lanshan::StatusPanels;
using lanshan::VersionCheck;
using versiontest::HttpStub;

namespace {

const QString waiting = StatusPanels::waitingText.toString();
const QString checking = StatusPanels::checkingText.toString();

// What panel 3 shows for the server's answer with this version.
QString answered(const QString &version)
{
    return StatusPanels::versionLabel.toString() + version;
}

// Panel 3 shows one of its three states: waiting, checking, or the server's version.
bool isPanel3State(const QString &text)
{
    return text == waiting || text == checking || text.startsWith(StatusPanels::versionLabel);
}

// A status bar set up as at start-up, with a check that asks the stub.
struct Rig
{
    explicit Rig(const HttpStub &stub)
    {
        panels.setUp(11000);
        check.setHost(stub.host());
        QObject::connect(&check, &VersionCheck::stateChanged, &panels, &StatusPanels::showVersionCheck);
        QObject::connect(&check, &VersionCheck::failureChanged, &panels, &StatusPanels::showCheckFailure);
    }
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            check.tick();
    }
    // Ticks until the check starts (at most 30 times) and waits for its end.
    bool runCheck()
    {
        QSignalSpy ended(&check, &VersionCheck::checkEnded);
        for (int i = 0; i < 30 && !check.isChecking(); ++i)
            tick();
        // Every check ends by its own time limit (20 s) at the latest: wait beyond it.
        return check.isChecking() && ended.wait(30000);
    }
    // runCheck(), and whether the check ended because its time limit passed.
    bool checkEndsAtItsDeadline()
    {
        QSignalSpy deadline(&check, &VersionCheck::deadlinePassed);
        return runCheck() && deadline.count() == 1;
    }
    QString panel3() const { return panels.text(3); }
    QString panel3Tip() const { return panels.panel(3)->toolTip(); }

    QStatusBar bar;
    StatusPanels panels{&bar, lanshan::MakerInfo{u"测试"_s, u"t@x.example"_s, u"1"_s, u"2"_s, u"unused.example"_s}};
    VersionCheck check{u"unused.example"_s};
};

QByteArray deflated(const QByteArray &data)
{
    return qCompress(data).sliced(4); // a zlib stream without Qt's length in front
}

// A gzip member: header, the raw deflate stream of a zlib stream, CRC-32 and length.
QByteArray gzipped(const QByteArray &data)
{
    const QByteArray zlib = deflated(data);
    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
    out += zlib.sliced(2, zlib.size() - 6);
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    for (const quint32 value : {~crc, static_cast<quint32>(data.size())})
        for (int shift = 0; shift < 32; shift += 8)
            out += static_cast<char>(value >> shift);
    return out;
}

} // namespace

class VersionCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstCheckOnTheSecondTick();
    void reportsWithoutAnyWidget();
    void replies_data();
    void replies();
    void closedPort();
    void failedCheckSaysWhy_data();
    void failedCheckSaysWhy();
    void errorsByKind_data();
    void errorsByKind();
    void stallingServerIsAbandonedAtTheLimit_data();
    void stallingServerIsAbandonedAtTheLimit();
    void endlessBodyIsCutAtTheLimit();
    void thirtyTickRhythm();
    void noSecondCheckWhileOnePends();
    void noCheckAfterAValidAnswer();
    void tickcountWraps();
    void eachCheckSendsANewT();
    void randomText_data();
    void randomText();
    void injectedNumberIsSent();
    void windowNeverWaits();
    void destroyedWhileChecking();

    void floodOfTicks_data();
    void floodOfTicks();
    void windowStaysUsable_data();
    void windowStaysUsable();
};

void VersionCheckTest::firstCheckOnTheSecondTick()
{
    HttpStub stub;
    Rig rig(stub);
    QSignalSpy started(&rig.check, &VersionCheck::checkStarted);
    rig.tick();
    QCOMPARE(rig.check.currentTickcount(), 1);
    QCOMPARE(rig.panel3(), waiting);
    QCOMPARE(started.count(), 0);
    rig.tick();
    QCOMPARE(started.count(), 1);
    QCOMPARE(rig.panel3(), checking);
    QSignalSpy ended(&rig.check, &VersionCheck::checkEnded);
    QVERIFY(ended.wait(30000));
    QCOMPARE(ended.first().first().toBool(), true);
    QCOMPARE(rig.panel3(), answered(u"2.0.15"_s));
    QCOMPARE(stub.targets().size(), 1);
    QVERIFY(stub.heads().first().startsWith("GET "));
    QVERIFY2(QRegularExpression(u"^/version\\.php\\?s=LanshanQingdan&t=0(\\.\\d+)?$"_s)
                 .match(stub.targets().first())
                 .hasMatch(),
             qPrintable(stub.targets().first()));
    QCOMPARE(started.first().first().toUrl().toString(), u"http://"_s + stub.host() + stub.targets().first());
}

void VersionCheckTest::reportsWithoutAnyWidget()
{
    HttpStub stub;
    VersionCheck check(stub.host());
    QSignalSpy changed(&check, &VersionCheck::stateChanged);
    QCOMPARE(check.state(), VersionCheck::State::Waiting);
    check.tick();
    check.tick();
    QCOMPARE(check.state(), VersionCheck::State::Checking);
    QTRY_COMPARE(check.state(), VersionCheck::State::Answered);
    QCOMPARE(check.version(), u"2.0.15"_s);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).value<VersionCheck::State>(), VersionCheck::State::Answered);
    QCOMPARE(changed.at(1).at(1).toString(), u"2.0.15"_s);
}

void VersionCheckTest::replies_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<QString>("panel3");
    const auto ok = [](const QByteArray &body) { return HttpStub::response(body); };
    QTest::newRow("version") << ok("LanshanQingdan:2.0.15") << answered(u"2.0.15"_s);
    QTest::newRow("spaces around") << ok("LanshanQingdan:   2.0.15  ") << answered(u"2.0.15"_s);
    QTest::newRow("prefix alone") << ok("LanshanQingdan:") << answered(QString());
    QTest::newRow("line break kept") << ok("LanshanQingdan:2.0.15\r\n") << answered(u"2.0.15\r\n"_s);
    QTest::newRow("tabs kept") << ok("LanshanQingdan:\t2.0.15 \t ") << answered(u"\t2.0.15 \t"_s);
    QTest::newRow("UTF-8") << ok("LanshanQingdan:2.0.15 测试版") << answered(u"2.0.15 测试版"_s);
    QTest::newRow("byte-order mark") << ok("\xEF\xBB\xBFLanshanQingdan:2.0.15") << answered(u"2.0.15"_s);
    QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                                           "9\r\nLanshanQi\r\nC\r\nngdan:2.0.15\r\n0\r\n\r\n")
                             << answered(u"2.0.15"_s);
    QTest::newRow("deflated") << HttpStub::response(deflated("LanshanQingdan:2.0.15"), "200 OK",
                                                    "Content-Encoding: deflate\r\n")
                              << answered(u"2.0.15"_s);
    // No status code is looked at: the body decides.
    QTest::newRow("error status, valid body")
        << HttpStub::response("LanshanQingdan:2.0.15", "500 Internal Server Error") << answered(u"2.0.15"_s);
    QTest::newRow("small letters") << ok("lanshanqingdan:2.0.15") << waiting;
    QTest::newRow("space before prefix") << ok(" LanshanQingdan:2.0.15") << waiting;
    QTest::newRow("empty body") << ok("") << waiting;
    QTest::newRow("shorter than prefix") << ok("LanshanQingdan") << waiting;
    QTest::newRow("error page") << HttpStub::response("<html><body><h1>404 Not Found</h1></body></html>",
                                                      "404 Not Found")
                                << waiting;
    QTest::newRow("connection lost in the body")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nLanshanQingdan:2.0.15") << waiting;
    QTest::newRow("garbage") << QByteArray("LanshanQingdan:2.0.15\r\n\r\n") << waiting;
    QTest::newRow("64 KiB") << ok("LanshanQingdan:" + QByteArray(64 * 1024 - 15, '9'))
                            << answered(QString(64 * 1024 - 15, u'9'));
    QTest::newRow("64 KiB and one byte") << ok("LanshanQingdan:" + QByteArray(64 * 1024 - 14, '9')) << waiting;
    QTest::newRow("gzip") << HttpStub::response(gzipped("LanshanQingdan:2.0.15"), "200 OK",
                                                "Content-Encoding: gzip\r\n")
                          << answered(u"2.0.15"_s);
    // Below the 10 MiB at which Qt itself stops inflating: the check's own limit ends it.
    QTest::newRow("gzip past 64 KiB") << HttpStub::response(
        gzipped("LanshanQingdan:" + QByteArray(8 * 1024 * 1024, ' ') + "2.0.15"), "200 OK",
        "Content-Encoding: gzip\r\n") << waiting;
    QTest::newRow("redirect loop") << HttpStub::response("", "302 Found", "Location: /version.php\r\n") << waiting;
    // Bytes that are not UTF-8 show as U+FFFD; the prefix must be there in plain bytes.
    QTest::newRow("not UTF-8 after the prefix")
        << ok("LanshanQingdan:2.0.15\xFF\xFE") << answered(u"2.0.15\uFFFD\uFFFD"_s);
    QTest::newRow("ends inside a character")
        << ok("LanshanQingdan:2.0.15 \xE6\xB5") << answered(u"2.0.15 \uFFFD\uFFFD"_s);
    QTest::newRow("GBK") << ok("LanshanQingdan:\xB2\xE2\xCA\xD4") << answered(u"\uFFFD\uFFFD\uFFFD\uFFFD"_s);
    QTest::newRow("UTF-16") << ok("\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(u"LanshanQingdan:2.0.15"), 42))
                            << waiting;
    QTest::newRow("overlong colon") << ok("LanshanQingdan\xC0\xBA"
                                          "2.0.15")
                                    << waiting;
    QTest::newRow("deflated past 64 KiB") << HttpStub::response(
        deflated("LanshanQingdan:" + QByteArray(200 * 1024, ' ') + "2.0.15"), "200 OK", "Content-Encoding: deflate\r\n")
                                          << waiting;
}

void VersionCheckTest::replies()
{
    QFETCH(QByteArray, response);
    QFETCH(QString, panel3);
    HttpStub stub;
    stub.answer(response);
    Rig rig(stub);
    QVERIFY(rig.runCheck());
    QCOMPARE(rig.panel3(), panel3);
    QCOMPARE(rig.check.isChecking(), false);
}

void VersionCheckTest::closedPort()
{
    HttpStub stub;
    Rig rig(stub);
    stub.close();
    QVERIFY(rig.runCheck());
    QCOMPARE(rig.panel3(), waiting);
}

void VersionCheckTest::failedCheckSaysWhy_data()
{
    QTest::addColumn<HttpStub::Mode>("mode");
    QTest::addColumn<QByteArray>("response"); // empty: the port is closed
    QTest::addColumn<QString>("why");
    const QByteArray notFound = HttpStub::response("<html><body><h1>404 Not Found</h1></body></html>", "404 Not Found");
    QTest::newRow("closed port") << HttpStub::Mode::Answer << QByteArray() << u"服务器拒绝连接"_s;
    QTest::newRow("silent") << HttpStub::Mode::Silent << notFound << u"连接超时"_s;
    QTest::newRow("headers, then stall") << HttpStub::Mode::Stall << notFound << u"连接超时"_s;
    QTest::newRow("error page") << HttpStub::Mode::Answer << notFound << u"服务器的回答无法识别"_s;
    QTest::newRow("endless body") << HttpStub::Mode::Endless << notFound << u"服务器的回答无法识别"_s;
    QTest::newRow("redirect loop") << HttpStub::Mode::Answer
                                   << HttpStub::response("", "302 Found", "Location: /version.php\r\n")
                                   << u"服务器的回答无法识别"_s;
    QTest::newRow("connection lost in the body")
        << HttpStub::Mode::Answer << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nLanshan")
        << u"网络错误"_s;
}

// After a check without an answer panel 3 still says it waits, and its tooltip says what failed
// and counts down to the next check; once the server answers, the panel's own tooltip is back.
void VersionCheckTest::failedCheckSaysWhy()
{
    QFETCH(HttpStub::Mode, mode);
    QFETCH(QByteArray, response);
    QFETCH(QString, why);
    HttpStub stub;
    stub.answer(response);
    stub.setMode(mode);
    if (response.isEmpty())
        stub.close();
    Rig rig(stub);
    rig.check.setTimeLimit(300ms);
    QCOMPARE(rig.panel3Tip(), StatusPanels::downloadTip.toString());
    QVERIFY(rig.runCheck());
    QCOMPARE(rig.panel3(), waiting);
    QCOMPARE(rig.panel3Tip(), u"上次检测失败：%1，30 秒后重试。"_s.arg(why));
    rig.tick(10);
    QCOMPARE(rig.panel3Tip(), u"上次检测失败：%1，20 秒后重试。"_s.arg(why));
    rig.tick(19);
    QCOMPARE(rig.panel3Tip(), u"上次检测失败：%1，1 秒后重试。"_s.arg(why));

    // Checking again: the failure is no longer the news.
    HttpStub answering;
    answering.setMode(HttpStub::Mode::Silent);
    rig.check.setHost(answering.host());
    rig.tick();
    QCOMPARE(rig.panel3(), checking);
    QCOMPARE(rig.panel3Tip(), StatusPanels::downloadTip.toString());
    QSignalSpy ended(&rig.check, &VersionCheck::checkEnded);
    QVERIFY(ended.wait(30000));
    QCOMPARE(rig.panel3Tip(), u"上次检测失败：连接超时，30 秒后重试。"_s);

    answering.setMode(HttpStub::Mode::Answer);
    QVERIFY(rig.runCheck());
    QCOMPARE(rig.panel3(), answered(u"2.0.15"_s));
    QCOMPARE(rig.panel3Tip(), StatusPanels::downloadTip.toString());
    QCOMPARE(rig.check.failure(), VersionCheck::Failure::None);
}

// What each error of a reply counts as: those that no local server can give included.
void VersionCheckTest::errorsByKind_data()
{
    QTest::addColumn<QNetworkReply::NetworkError>("error");
    QTest::addColumn<VersionCheck::Failure>("failure");
    using Failure = VersionCheck::Failure;
    QTest::newRow("host not found") << QNetworkReply::HostNotFoundError << Failure::HostNotFound;
    QTest::newRow("refused") << QNetworkReply::ConnectionRefusedError << Failure::Refused;
    QTest::newRow("timeout") << QNetworkReply::TimeoutError << Failure::TimedOut;
    QTest::newRow("redirect loop") << QNetworkReply::TooManyRedirectsError << Failure::BadAnswer;
    QTest::newRow("garbled reply") << QNetworkReply::ProtocolFailure << Failure::BadAnswer;
    QTest::newRow("closed early") << QNetworkReply::RemoteHostClosedError << Failure::NetworkError;
    QTest::newRow("proxy refused") << QNetworkReply::ProxyConnectionRefusedError << Failure::NetworkError;
    // The body came whole: its text decides.
    QTest::newRow("no error") << QNetworkReply::NoError << Failure::None;
    QTest::newRow("error status") << QNetworkReply::ContentNotFoundError << Failure::None;
}

void VersionCheckTest::errorsByKind()
{
    QFETCH(QNetworkReply::NetworkError, error);
    QFETCH(VersionCheck::Failure, failure);
    QCOMPARE(VersionCheck::failureOf(error), failure);
}

void VersionCheckTest::stallingServerIsAbandonedAtTheLimit_data()
{
    QTest::addColumn<HttpStub::Mode>("mode");
    QTest::addColumn<int>("limitMs");
    QTest::newRow("silent") << HttpStub::Mode::Silent << 300;
    // Bytes keep coming, but the limit counts from the start of the check.
    QTest::newRow("slow body") << HttpStub::Mode::Trickle << 400;
    QTest::newRow("headers, then stall") << HttpStub::Mode::Stall << 300;
}

void VersionCheckTest::stallingServerIsAbandonedAtTheLimit()
{
    QFETCH(HttpStub::Mode, mode);
    QFETCH(int, limitMs);
    HttpStub stub;
    stub.setMode(mode);
    Rig rig(stub);
    rig.check.setTimeLimit(std::chrono::milliseconds(limitMs));
    QVERIFY(rig.checkEndsAtItsDeadline());
    QCOMPARE(rig.panel3(), waiting);
    // The next check follows 30 ticks after the abandoned one.
    stub.setMode(HttpStub::Mode::Answer);
    rig.tick(29);
    QVERIFY(!rig.check.isChecking());
    QVERIFY(rig.runCheck());
    QCOMPARE(rig.check.currentTickcount(), 32);
    QCOMPARE(rig.panel3(), answered(u"2.0.15"_s));
}

void VersionCheckTest::endlessBodyIsCutAtTheLimit()
{
    HttpStub stub;
    stub.setMode(HttpStub::Mode::Endless);
    Rig rig(stub);
    // The size ended it, not the 20 seconds.
    QSignalSpy deadline(&rig.check, &VersionCheck::deadlinePassed);
    QVERIFY(rig.runCheck());
    QCOMPARE(deadline.count(), 0);
    QCOMPARE(rig.panel3(), waiting);
}

void VersionCheckTest::thirtyTickRhythm()
{
    HttpStub stub;
    stub.answer(HttpStub::response(""));
    Rig rig(stub);
    QList<int> starts;
    for (int i = 0; i < 100; ++i) {
        rig.tick();
        if (rig.check.isChecking()) {
            starts.append(rig.check.currentTickcount());
            QSignalSpy ended(&rig.check, &VersionCheck::checkEnded);
            QVERIFY(ended.wait(30000));
            QCOMPARE(rig.panel3(), waiting);
        }
    }
    QCOMPARE(starts, (QList<int>{2, 32, 62, 92}));
    QCOMPARE(stub.targets().size(), 4);
}

void VersionCheckTest::noSecondCheckWhileOnePends()
{
    HttpStub stub;
    stub.setMode(HttpStub::Mode::Silent);
    Rig rig(stub);
    QSignalSpy started(&rig.check, &VersionCheck::checkStarted);
    rig.tick(2);
    QTRY_COMPARE(stub.targets().size(), 1);
    rig.tick(90);
    QCOMPARE(rig.panel3(), checking);
    rig.tick(30);
    QTest::qWait(200);
    QCOMPARE(started.count(), 1);
    QCOMPARE(stub.targets().size(), 1);
}

void VersionCheckTest::noCheckAfterAValidAnswer()
{
    HttpStub stub;
    Rig rig(stub);
    QVERIFY(rig.runCheck());
    QSignalSpy started(&rig.check, &VersionCheck::checkStarted);
    rig.tick(200);
    QCOMPARE(started.count(), 0);
    QCOMPARE(rig.panel3(), answered(u"2.0.15"_s));
    QCOMPARE(rig.check.currentTickcount(), 202);
}

void VersionCheckTest::tickcountWraps()
{
    // The first check stays pending through the ticks (no event is handled meanwhile) and ends
    // at its deadline, so that the check waits again when the count wraps.
    HttpStub stub;
    stub.setMode(HttpStub::Mode::Silent);
    Rig rig(stub);
    rig.check.setTimeLimit(200ms);
    QSignalSpy started(&rig.check, &VersionCheck::checkStarted);
    QSignalSpy ended(&rig.check, &VersionCheck::checkEnded);
    rig.tick(29999);
    QCOMPARE(rig.check.currentTickcount(), 29999);
    QCOMPARE(started.count(), 1);
    QVERIFY(ended.wait(30000));
    QCOMPARE(rig.panel3(), waiting);
    rig.tick();
    QCOMPARE(rig.check.currentTickcount(), 0);
    rig.tick();
    QCOMPARE(rig.check.currentTickcount(), 1);
    QCOMPARE(started.count(), 1);
    rig.tick();
    QCOMPARE(rig.check.currentTickcount(), 2);
    QCOMPARE(started.count(), 2);
}

void VersionCheckTest::eachCheckSendsANewT()
{
    HttpStub stub;
    stub.answer(HttpStub::response("nothing yet"));
    Rig rig(stub);
    QStringList ts;
    for (int check = 0; check < 3; ++check) {
        QVERIFY(rig.runCheck());
        ts.append(stub.targets().last().section(u"&t="_s, 1));
    }
    QCOMPARE(stub.targets().size(), 3);
    QCOMPARE(QSet<QString>(ts.begin(), ts.end()).size(), 3);
    for (const QString &t : ts) {
        bool number = false;
        const double value = t.toDouble(&number);
        QVERIFY2(number && value >= 0.0 && value < 1.0, qPrintable(t));
        QVERIFY2(QString(t).remove(u"0."_s).remove(QRegularExpression(u"^0+"_s)).size() <= 7, qPrintable(t));
    }
}

void VersionCheckTest::randomText_data()
{
    QTest::addColumn<float>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("half") << 0.5f << u"0.5"_s;
    QTest::newRow("seven digits") << 0.1234567f << u"0.1234567"_s;
    QTest::newRow("rounded to seven") << 0.70554751f << u"0.7055475"_s;
    QTest::newRow("small, no exponent") << 0.000015f << u"0.000015"_s;
    QTest::newRow("small, seven digits") << 0.00012345678f << u"0.0001234568"_s;
    QTest::newRow("largest below 1") << 0.99999994f << u"0.9999999"_s;
    QTest::newRow("zero") << 0.0f << u"0"_s;
}

void VersionCheckTest::randomText()
{
    QFETCH(float, number);
    QFETCH(QString, text);
    QCOMPARE(VersionCheck::randomText(number), text);
}

void VersionCheckTest::injectedNumberIsSent()
{
    HttpStub stub;
    Rig rig(stub);
    rig.check.setRandomSource([] { return 0.25f; });
    QVERIFY(rig.runCheck());
    QCOMPARE(stub.targets(), QStringList{u"/version.php?s=LanshanQingdan&t=0.25"_s});
}

void VersionCheckTest::windowNeverWaits()
{
    HttpStub stub;
    stub.setMode(HttpStub::Mode::Silent);
    Rig rig(stub);
    // The tick that starts the check returns while the check is pending.
    rig.tick(2);
    QVERIFY(rig.check.isChecking());
    QCOMPARE(rig.panel3(), checking);
}

void VersionCheckTest::destroyedWhileChecking()
{
    HttpStub stub;
    stub.setMode(HttpStub::Mode::Silent);
    auto rig = std::make_unique<Rig>(stub);
    rig->tick(2);
    QTRY_COMPARE(stub.targets().size(), 1);
    rig.reset();
    QTest::qWait(100);
    // The abandoned check sent nothing more.
    QCOMPARE(stub.targets().size(), 1);
}

void VersionCheckTest::floodOfTicks_data()
{
    QTest::addColumn<HttpStub::Mode>("mode");
    QTest::newRow("no answer") << HttpStub::Mode::Answer;
    QTest::newRow("headers, then silent") << HttpStub::Mode::Stall;
}

// A thousand ticks at once, then a thousand a millisecond apart: checks start only on the
// thirtieth ticks, one at a time, and panel 3 shows one of its states throughout.
void VersionCheckTest::floodOfTicks()
{
    QFETCH(HttpStub::Mode, mode);
    HttpStub stub;
    stub.answer(HttpStub::response("no version here"));
    stub.setMode(mode);
    Rig rig(stub);
    rig.check.setTimeLimit(200ms);
    int pending = 0;
    int mostPending = 0;
    QList<int> startTicks;
    connect(&rig.check, &VersionCheck::checkStarted, this, [&] {
        mostPending = std::max(mostPending, ++pending);
        startTicks.append(rig.check.currentTickcount());
    });
    connect(&rig.check, &VersionCheck::checkEnded, this, [&] {
        --pending;
        QVERIFY(isPanel3State(rig.panel3()));
    });

    rig.tick(1000);
    QCOMPARE(startTicks, QList<int>{2});
    for (int i = 0; i < 1000; ++i) {
        rig.tick();
        QVERIFY2(isPanel3State(rig.panel3()), qPrintable(rig.panel3()));
        QTest::qWait(1);
    }
    QTRY_VERIFY(!rig.check.isChecking());

    QCOMPARE(mostPending, 1);
    QCOMPARE(pending, 0);
    QCOMPARE(rig.panel3(), waiting);
    QVERIFY(startTicks.size() >= 2);
    for (const int tick : startTicks)
        QCOMPARE(tick % 30, 2);
    QCOMPARE(stub.targets().size(), startTicks.size());
    // A check given up closes its connection in Qt's network thread, which on a busy machine
    // may reach the server after the next check connected: never more than the two.
    QVERIFY2(stub.maxConnections() <= (mode == HttpStub::Mode::Stall ? 2 : 1),
             qPrintable(QString::number(stub.maxConnections())));
}

void VersionCheckTest::windowStaysUsable_data()
{
    QTest::addColumn<HttpStub::Mode>("mode");
    QTest::addColumn<QByteArray>("response");
    QTest::newRow("silent") << HttpStub::Mode::Silent << QByteArray();
    QTest::newRow("headers, then silent") << HttpStub::Mode::Stall << QByteArray();
    QTest::newRow("trickle") << HttpStub::Mode::Trickle << QByteArray();
    QTest::newRow("endless body") << HttpStub::Mode::Endless << QByteArray();
    QTest::newRow("redirect loop") << HttpStub::Mode::Answer
                                   << HttpStub::response("", "302 Found", "Location: /version.php\r\n");
    QTest::newRow("gzip past the limit") << HttpStub::Mode::Answer
                                         << HttpStub::response(gzipped(QByteArray(8 * 1024 * 1024, 'L')), "200 OK",
                                                               "Content-Encoding: gzip\r\n");
    QTest::newRow("not UTF-8") << HttpStub::Mode::Answer << HttpStub::response("\xFF\xFE\x80LanshanQingdan:2.0.15");
}

// While the check waits on a hostile server, and through a flood of ticks, the window keeps
// handling its events and the user's filter runs to its end.
void VersionCheckTest::windowStaysUsable()
{
    QFETCH(HttpStub::Mode, mode);
    QFETCH(QByteArray, response);
    HttpStub stub;
    stub.answer(response);
    stub.setMode(mode);
    windowtest::WindowDriver driver;
    QVERIFY(QTest::qWaitForWindowExposed(&driver.window));
    auto *check = driver.window.findChild<VersionCheck *>();
    auto *panels = driver.window.findChild<StatusPanels *>();
    QVERIFY(check && panels);
    check->setHost(stub.host());
    check->setTimeLimit(500ms);
    QStringList panel3Texts;
    const auto seePanel3 = [&] { panel3Texts.append(panels->text(3)); };
    connect(check, &VersionCheck::checkStarted, this, seePanel3);
    connect(check, &VersionCheck::checkEnded, this, seePanel3);

    for (int i = 0; i < 30 && !check->isChecking(); ++i)
        check->tick();
    QVERIFY(check->isChecking());
    driver.filter(u"a1\nb2"_s, u"b2\t2\na1\t1"_s);
    QCOMPARE(driver.text(u"Text3"_s), u"a1\t1\nb2\t2"_s);
    QCOMPARE(driver.messages.size(), std::size_t(1));
    for (int i = 0; i < 1000; ++i) {
        check->tick();
        seePanel3();
        QCoreApplication::processEvents();
    }
    QTRY_VERIFY(!check->isChecking());

    for (const QString &text : std::as_const(panel3Texts))
        QVERIFY2(isPanel3State(text), qPrintable(text));
    QCOMPARE(panels->text(3), waiting);
}

QTEST_MAIN(VersionCheckTest)
#include "versioncheck_test.moc"
