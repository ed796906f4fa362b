#pragma once

// A small HTTP server on 127.0.0.1 for the version check's tests: it records every request
// target and answers in the way it is told to.

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <memory>

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

    explicit HttpStub(QObject *parent = nullptr)
        : QObject(parent)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &HttpStub::accept);
    }

    // A complete response with this body; the status line and extra header lines may be given.
    static QByteArray response(const QByteArray &body, const QByteArray &status = "200 OK",
                               const QByteArray &headers = {})
    {
        return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
               + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + headers + "\r\n" + body;
    }

    void answer(const QByteArray &rawResponse)
    {
        m_mode = Mode::Answer;
        m_response = rawResponse;
    }
    void setMode(Mode mode) { m_mode = mode; }

    // Where the check is to send its requests: "127.0.0.1:port".
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    quint16 port() const { return m_server.serverPort(); }
    // The request targets in order of arrival, e.g. "/version.php?s=LanshanQingdan&t=0.5".
    const QStringList &targets() const { return m_targets; }
    const QList<QByteArray> &heads() const { return m_heads; }
    // The most connections that were open at one time.
    int maxConnections() const { return m_maxConnections; }
    // Stops listening: the port is then closed.
    void close() { m_server.close(); }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            m_maxConnections = std::max(m_maxConnections, ++m_connections);
            connect(socket, &QTcpSocket::disconnected, this, [this] { --m_connections; });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto head = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, head] {
                head->append(socket->readAll());
                const qsizetype end = head->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                m_heads.append(head->left(end));
                m_targets.append(QString::fromLatin1(head->split(' ').value(1)));
                head->clear();
                respond(socket);
            });
        }
    }

    void respond(QTcpSocket *socket)
    {
        switch (m_mode) {
        case Mode::Answer:
            socket->write(m_response);
            socket->disconnectFromHost();
            break;
        case Mode::Silent: break;
        case Mode::Endless: {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\nLanshanQingdan:");
            // Far more than any client takes (4 MiB), then the connection stays open with
            // nothing more: a peer that went away is not written to for ever (Wine reports it
            // late).
            const QByteArray chunk(16 * 1024, 'x');
            auto chunksLeft = std::make_shared<int>(255);
            connect(socket, &QTcpSocket::bytesWritten, socket, [socket, chunk, chunksLeft] {
                if (*chunksLeft > 0 && socket->bytesToWrite() < chunk.size()) {
                    --*chunksLeft;
                    socket->write(chunk);
                }
            });
            socket->write(chunk);
            break;
        }
        case Mode::Trickle: {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100000\r\n\r\n");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
            timer->start(50);
            break;
        }
        case Mode::Stall:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100\r\n\r\n");
            break;
        }
    }

    QTcpServer m_server;
    Mode m_mode = Mode::Answer;
    QByteArray m_response = response("LanshanQingdan:2.0.15");
    QStringList m_targets;
    QList<QByteArray> m_heads;
    int m_connections = 0;
    int m_maxConnections = 0;
};

} // namespace versiontest
