#include "httpstub.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace versiontest {

using namespace Qt::StringLiterals;

HttpStub::HttpStub(QObject *parent)
    : QObject(parent)
    , m_response(response("LanshanQingdan:2.0.15"))
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpStub::accept);
    QVERIFY2(m_server.listen(QHostAddress::LocalHost, 0),
             qPrintable(u"the stub cannot listen on 127.0.0.1: "_s + m_server.errorString()));
}

QByteArray HttpStub::response(const QByteArray &body, const QByteArray &status, const QByteArray &headers)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size())
           + "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

void HttpStub::answer(const QByteArray &rawResponse)
{
    m_mode = Mode::Answer;
    m_response = rawResponse;
}

QString HttpStub::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort());
}

void HttpStub::accept()
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

void HttpStub::respond(QTcpSocket *socket)
{
    switch (m_mode) {
    case Mode::Answer:
        socket->write(m_response);
        socket->disconnectFromHost();
        break;
    case Mode::Silent: break;
    case Mode::Endless: {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\nLanshanQingdan:");
        // Far more than any client takes (4 MiB), then the connection stays open with nothing
        // more: a peer that went away is not written to for ever (Wine reports it late).
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

} // namespace versiontest
