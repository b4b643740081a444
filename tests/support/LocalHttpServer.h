#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTcpServer>

// A web server for a test, on 127.0.0.1 only and a port of the system's
// choosing, serving the files it was given from memory (HTTP/1.0, GET, one
// request a connection); anything else is 404. It answers on the thread that
// made it, so the test must be handling events for it to answer.
//
//     LocalHttpServer server;
//     server.serve("/list.m3u", "audio/x-mpegurl", body);
//     engine.setUrl(server.url("/list.m3u"));
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    // Starts listening; isListening() says whether it could.
    LocalHttpServer();

    bool isListening() const { return m_server.isListening(); }
    // Serves these bytes under this path ("/a.m3u").
    void serve(const QString &path, const QByteArray &contentType, const QByteArray &body);
    // The address of a path on this server.
    QString url(const QString &path) const;
    // The paths asked for so far, in order.
    QStringList requested() const { return m_requested; }

private:
    void answer(QTcpSocket *socket);

    struct File
    {
        QByteArray type;
        QByteArray body;
    };
    QTcpServer m_server;
    QHash<QString, File> m_files;
    QStringList m_requested;
};
