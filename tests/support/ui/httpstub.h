#pragma once

// A small HTTP server on 127.0.0.1 for the version check's tests: it records every request
// target and answers in the way it is told to.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace versiontest {

class HttpStub : public QObject
{
public:
    enum class Mode {
        Answer,  // the canned response, then the connection is closed
        Silent,  // accepts and reads, never answers
        Endless, // a 200 response whose body goes on far past any limit (4 MiB), then stalls
        Trickle, // a 200 response whose body comes one byte every 50 ms
        Stall,   // the status line and headers of a 200 response, then nothing
    };

    // Listens on a free port of 127.0.0.1; the running test fails when it cannot.
    explicit HttpStub(QObject *parent = nullptr);

    // A complete response with this body; the status line and extra header lines may be given.
    static QByteArray response(const QByteArray &body, const QByteArray &status = "200 OK",
                               const QByteArray &headers = {});

    void answer(const QByteArray &rawResponse);
    void setMode(Mode mode) { m_mode = mode; }

    // Where the check is to send its requests: "127.0.0.1:port".
    QString host() const;
    quint16 port() const { return m_server.serverPort(); }
    // The request targets in order of arrival, e.g. "/version.php?s=LanshanQingdan&t=0.5".
    const QStringList &targets() const { return m_targets; }
    const QList<QByteArray> &heads() const { return m_heads; }
    // The most connections that were open at one time.
    int maxConnections() const { return m_maxConnections; }
    // Stops listening: the port is then closed.
    void close() { m_server.close(); }

private:
    void accept();
    void respond(QTcpSocket *socket);

    QTcpServer m_server;
    Mode m_mode = Mode::Answer;
    QByteArray m_response;
    QStringList m_targets;
    QList<QByteArray> m_heads;
    int m_connections = 0;
    int m_maxConnections = 0;
};

} // namespace versiontest
