#pragma once
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP server on 127.0.0.1 for one test: it answers GET requests from a table of
// paths and can cut a reply off halfway or send it slowly. It stops when destroyed, also
// when the test failed.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        // Close the connection after this many bytes of the body (the header still promises all).
        qint64 dropAfter = -1;
        // Send the body in pieces of this size, one every paceMs milliseconds.
        int pieceSize = 0;
        int paceMs = 0;
    };

    LocalHttpServer();
    ~LocalHttpServer() override;

    bool isListening() const { return m_server.isListening(); }
    // "http://127.0.0.1:port"
    QString baseUrl() const;
    void route(const QString &path, const Reply &reply) { m_routes.insert(path, reply); }
    // The paths asked for, in order.
    QStringList requests() const { return m_requests; }

private:
    void onConnection();
    void onReadable(QTcpSocket *socket);
    void sendBody(QTcpSocket *socket, const Reply &reply, qint64 offset);

    QTcpServer m_server;
    QHash<QString, Reply> m_routes;
    QStringList m_requests;
};
