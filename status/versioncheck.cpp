#include "versioncheck.h"

#include "logging.h"
#include "makersite.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QUrl>

#include <cmath>

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

// Why a check gave no answer: QT_LOGGING_RULES="lanshan.versioncheck.debug=true".

// The ticks run from 0 to 29999; 30000 is a multiple of 30, so the wrap keeps the rhythm.
constexpr int tickWrap = 30000;
constexpr int checkEvery = 30;
constexpr int checkAt = 2;

// Only the space character itself is removed: tabs and line breaks stay.
QStringView withoutOuterSpaces(QStringView text)
{
    while (text.startsWith(u' '))
        text = text.sliced(1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// Whether the reply came to its end, so that its body is the server's answer. The service is
// judged by the body alone: a status error still delivers its page, which then is no valid
// answer by its text. Failures of the connection itself (no such host, refused, reset, timed
// out, cancelled) and garbled replies give no answer.
bool replyCameWhole(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::NoError
           || (error >= QNetworkReply::ContentAccessDenied && error != QNetworkReply::ProtocolFailure);
}

} // namespace

VersionCheck::VersionCheck(const QString &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{
    setObjectName(u"VersionCheck"_s);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (!m_reply)
            return;
        m_pastDeadline = true;
        Q_EMIT deadlinePassed();
        m_reply->abort();
    });
}

VersionCheck::~VersionCheck()
{
    // A check still waiting is abandoned without a word.
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void VersionCheck::setHost(const QString &host)
{
    m_host = host;
}

void VersionCheck::setTimeLimit(std::chrono::milliseconds limit)
{
    m_timeLimit = limit;
}

void VersionCheck::setBodyLimit(qint64 bytes)
{
    m_bodyLimit = bytes;
}

void VersionCheck::setRandomSource(RandomSource source)
{
    m_randomSource = std::move(source);
}

void VersionCheck::tick()
{
    ++tickcount;
    if (tickcount == tickWrap)
        tickcount = 0;
    if (m_state != State::Waiting)
        return;
    if (tickcount % checkEvery == checkAt)
        startCheck();
    else if (m_failure != Failure::None)
        Q_EMIT failureChanged(m_failure, ticksUntilNextCheck());
}

int VersionCheck::ticksUntilNextCheck() const
{
    // The check of this very tick has started, or ended already: the next is a round away.
    const int ticks = (checkAt - tickcount % checkEvery + checkEvery) % checkEvery;
    return ticks == 0 ? checkEvery : ticks;
}

void VersionCheck::setState(State state, const QString &version)
{
    m_state = state;
    m_version = version;
    Q_EMIT stateChanged(m_state, m_version);
}

void VersionCheck::setFailure(Failure failure)
{
    if (failure == Failure::None && m_failure == Failure::None)
        return;
    m_failure = failure;
    Q_EMIT failureChanged(m_failure, failure == Failure::None ? 0 : ticksUntilNextCheck());
}

void VersionCheck::startCheck()
{
    setState(State::Checking);
    setFailure(Failure::None);
    const QUrl address(versionServiceAddress(m_host, randomText(drawNumber())));
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    m_body.clear();
    m_bodyTooLong = false;
    m_pastDeadline = false;
    // A version service has no use for long chains of redirects: a loop ends at once as a bad
    // answer, on every platform, well before the deadline.
    QNetworkRequest request(address);
    request.setMaximumRedirectsAllowed(maxRedirects);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &VersionCheck::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &VersionCheck::finishCheck);
    m_deadline.start(m_timeLimit);
    Q_EMIT checkStarted(address);
}

float VersionCheck::drawNumber()
{
    if (m_randomSource)
        return m_randomSource();
    // Reseeded from the clock for every check; 24 random bits give every value exactly.
    m_generator.seed(
        static_cast<std::mt19937::result_type>(std::chrono::system_clock::now().time_since_epoch().count()));
    return static_cast<float>(m_generator() >> 8) / 16777216.0f;
}

void VersionCheck::readBody()
{
    // Counted as the bytes arrive, after any decompression.
    m_body += m_reply->readAll();
    if (m_body.size() > m_bodyLimit) {
        m_bodyTooLong = true;
        m_body.clear();
        // Ends the check at once, through finishCheck.
        m_reply->abort();
    }
}

void VersionCheck::finishCheck()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    m_deadline.stop();
    reply->disconnect(this);
    const bool cameWhole = !m_bodyTooLong && replyCameWhole(reply->error());
    if (cameWhole)
        m_body += reply->readAll();
    const bool answered = cameWhole && m_body.size() <= m_bodyLimit;
    reply->deleteLater();

    const std::optional<QString> version = answered ? versionFromBody(m_body) : std::nullopt;
    Failure failure = Failure::None;
    if (m_pastDeadline) {
        qCDebug(lcVersionCheck) << "no answer within" << m_timeLimit.count() << "ms";
        failure = Failure::TimedOut;
    } else if (m_bodyTooLong || (cameWhole && !answered)) {
        qCDebug(lcVersionCheck) << "no answer: the reply is longer than" << m_bodyLimit << "bytes";
        failure = Failure::BadAnswer;
    } else if (!cameWhole) {
        qCDebug(lcVersionCheck) << "no answer:" << reply->error() << reply->errorString();
        failure = failureOf(reply->error());
    } else if (!version) {
        qCDebug(lcVersionCheck) << "no answer: the reply does not start with" << replyPrefix;
        failure = Failure::BadAnswer;
    }
    m_body.clear();
    if (version)
        setState(State::Answered, *version);
    else
        setState(State::Waiting);
    setFailure(failure);
    Q_EMIT checkEnded(version.has_value());
}

VersionCheck::Failure VersionCheck::failureOf(QNetworkReply::NetworkError error)
{
    if (replyCameWhole(error))
        return Failure::None;
    switch (error) {
    case QNetworkReply::HostNotFoundError: return Failure::HostNotFound;
    case QNetworkReply::ConnectionRefusedError: return Failure::Refused;
    case QNetworkReply::TimeoutError: return Failure::TimedOut;
    // The server spoke, but not as a web server does.
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::ProtocolFailure: return Failure::BadAnswer;
    default: return Failure::NetworkError;
    }
}

std::optional<QString> VersionCheck::versionFromBody(const QByteArray &body)
{
    // UTF-8; a byte-order mark in front is skipped, as a text decoder does. Bytes that are not
    // UTF-8 become U+FFFD, also a character cut off at the end of the body.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    if (!text.startsWith(replyPrefix))
        return std::nullopt;
    return withoutOuterSpaces(QStringView(text).sliced(replyPrefix.size())).toString();
}

QString VersionCheck::randomText(float number)
{
    const double value = number;
    if (!(value > 0.0))
        return u"0"_s;
    // Seven significant digits in plain decimal notation, trailing zeros dropped.
    const int decimals = 6 - static_cast<int>(std::floor(std::log10(value)));
    QString text = QString::number(value, 'f', std::max(0, decimals));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    // Rounding the largest values to seven digits would give 1.
    if (text.toDouble() >= 1.0)
        return u"0.9999999"_s;
    return text;
}

} // namespace lanshan
