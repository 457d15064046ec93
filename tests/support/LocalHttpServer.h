#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// An HTTP server on 127.0.0.1 for the update tests: canned answers by path, else 404.
class LocalHttpServer : public QObject
{
public:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        bool silent = false; // accepts the request and never answers
    };

    LocalHttpServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    void route(const QByteArray& path, Reply reply) { m_routes.insert(path, std::move(reply)); }

    QList<QByteArray> requests;

private:
    void read(QTcpSocket* socket)
    {
        const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.contains("\r\n\r\n"))
            return;
        requests.append(head);
        const Reply reply = m_routes.value(head.split(' ').value(1), Reply{404, "<html>Not Found</html>"});
        if (reply.silent)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\nContent-Length: " +
                      QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_routes;
};
