#include "LocalHttpServer.h"
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

LocalHttpServer::LocalHttpServer() {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onConnection);
}

LocalHttpServer::~LocalHttpServer() {
    m_server.close();
    for (QTcpSocket *s : findChildren<QTcpSocket *>())
        s->abort();
}

QString LocalHttpServer::baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

void LocalHttpServer::onConnection() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalHttpServer::onReadable(QTcpSocket *socket) {
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = words.size() >= 2 ? QString::fromUtf8(words[1]) : QString();
    m_requests << path;
    Reply reply;
    if (m_routes.contains(path))
        reply = m_routes.value(path);
    else
        reply = Reply{404, QByteArrayLiteral("not found")};
    socket->write(QByteArrayLiteral("HTTP/1.1 ") + QByteArray::number(reply.status) +
                  (reply.status == 200 ? " OK" : " Error") +
                  "\r\nContent-Type: application/octet-stream\r\n"
                  "Content-Length: " +
                  QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n");
    sendBody(socket, reply, 0);
}

void LocalHttpServer::sendBody(QTcpSocket *socket, const Reply &reply, qint64 offset) {
    const qint64 end = reply.dropAfter >= 0 ? qMin<qint64>(reply.dropAfter, reply.body.size()) : reply.body.size();
    const qint64 piece = reply.pieceSize > 0 ? reply.pieceSize : end - offset;
    const qint64 n = qMin(piece, end - offset);
    socket->write(reply.body.constData() + offset, n);
    if (offset + n >= end) {
        // Sends what is buffered, then closes: a cut reply arrives short of its length.
        socket->disconnectFromHost();
        return;
    }
    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(reply.paceMs, this, [this, guard, reply, offset, n] {
        if (guard && guard->state() == QAbstractSocket::ConnectedState)
            sendBody(guard, reply, offset + n);
    });
}
