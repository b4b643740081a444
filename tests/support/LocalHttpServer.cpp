#include "support/LocalHttpServer.h"

#include <QTcpSocket>

LocalHttpServer::LocalHttpServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LocalHttpServer::serve(const QString &path, const QByteArray &contentType,
                            const QByteArray &body)
{
    m_files.insert(path, {contentType, body});
}

QString LocalHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void LocalHttpServer::answer(QTcpSocket *socket)
{
    // The whole head first; a request line alone is not enough to answer.
    if (!socket->peek(64 * 1024).contains("\r\n\r\n"))
        return;
    const QByteArray head = socket->readAll();
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = words.size() >= 2 ? QString::fromUtf8(words[1]) : QString();
    m_requested << path;
    const auto found = m_files.constFind(path);
    QByteArray reply;
    if (words.value(0) != "GET" || found == m_files.constEnd()) {
        reply = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    } else {
        reply = "HTTP/1.0 200 OK\r\nContent-Type: " + found->type +
                "\r\nContent-Length: " + QByteArray::number(found->body.size()) +
                "\r\nConnection: close\r\n\r\n" + found->body;
    }
    socket->write(reply);
    socket->disconnectFromHost();
}
