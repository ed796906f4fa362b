#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>
#include <random>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

namespace lanshan {

// The server version check. The main window's timer calls tick() once a second, which counts the
// ticks in tickcount and, on the second tick and every 30 ticks after it, asks the maker's
// version service for the newest version while the check still waits for one. Its state is
// waiting, checking, or answered with the server's version, after which no check runs again;
// every change is reported by stateChanged, for the status bar to show. A check that gave no
// answer is reported by failureChanged, with what failed and when the next check starts. The
// request is asynchronous: the window never waits for it.
class VersionCheck : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VersionCheck)

public:
    enum class State { Waiting, Checking, Answered };
    Q_ENUM(State)
    // Why the last check gave no answer, in kinds the user can act on.
    enum class Failure { None, HostNotFound, Refused, TimedOut, BadAnswer, NetworkError };
    Q_ENUM(Failure)

    // Gives a number from 0 up to but not including 1 for the "t" of each request.
    using RandomSource = std::function<float()>;

    static constexpr QStringView replyPrefix = u"LanshanQingdan:";
    // A check that has not ended by then counts as no answer, so that a server which accepts
    // and never answers cannot stop every later check.
    static constexpr std::chrono::milliseconds defaultTimeLimit{20000};
    // A longer body counts as no answer: a broken or hostile server must not make the program
    // take any amount of memory.
    static constexpr qint64 defaultBodyLimit = 64 * 1024;

    // host: the maker's web host, optionally with ":port".
    explicit VersionCheck(const QString &host, QObject *parent = nullptr);
    ~VersionCheck() override;

    void setHost(const QString &host);
    void setTimeLimit(std::chrono::milliseconds limit);
    void setBodyLimit(qint64 bytes);
    // Without a source of its own the check draws from a generator reseeded from the clock.
    void setRandomSource(RandomSource source);

    void tick();

    int currentTickcount() const { return tickcount; }
    bool isChecking() const { return !m_reply.isNull(); }
    State state() const { return m_state; }
    // The server's version once answered, else empty.
    QString version() const { return m_version; }
    // Why the last check gave no answer; None while a check runs, before the first has ended
    // and once the server answered.
    Failure failure() const { return m_failure; }
    // Ticks, a second each, until the next check starts.
    int ticksUntilNextCheck() const;

    // The decimal text of a number from 0 up to but not including 1: at most seven
    // significant digits, never in exponent form and never reaching 1.
    static QString randomText(float number);
    // The server's version in this reply body, or nothing when the body is not a valid answer.
    static std::optional<QString> versionFromBody(const QByteArray &body);
    // What a reply that ended with this error failed by. NoError and the errors after which the
    // body came whole count as None: their body is then judged by its text.
    static Failure failureOf(QNetworkReply::NetworkError error);

Q_SIGNALS:
    void stateChanged(lanshan::VersionCheck::State state, const QString &version);
    void checkStarted(const QUrl &address);
    void checkEnded(bool validAnswer);
    // The check in progress was abandoned because its time limit passed.
    void deadlinePassed();
    // After a check that gave no answer, and again on every tick until the next one starts, as
    // the time runs down: what failed and in how many seconds the next check starts. None, with
    // no seconds, once a check starts again.
    void failureChanged(lanshan::VersionCheck::Failure failure, int secondsToRetry);

private:
    void startCheck();
    float drawNumber();
    void readBody();
    void finishCheck();
    void setState(State state, const QString &version = {});
    void setFailure(Failure failure);

    State m_state = State::Waiting;
    QString m_version;
    Failure m_failure = Failure::None;
    QString m_host;
    std::chrono::milliseconds m_timeLimit = defaultTimeLimit;
    qint64 m_bodyLimit = defaultBodyLimit;
    RandomSource m_randomSource;
    std::mt19937 m_generator;

    // From 0 to 29999, advanced by every tick.
    qint16 tickcount = 0;

    QNetworkAccessManager *m_network = nullptr;
    // The request of the check in progress, if any.
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    bool m_bodyTooLong = false;
    bool m_pastDeadline = false;
    static constexpr int maxRedirects = 5;
    QTimer m_deadline;
};

} // namespace lanshan
