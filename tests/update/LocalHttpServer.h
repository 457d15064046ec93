#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on 127.0.0.1 for the update tests. Each path gets a
// canned answer, given at once, slowly (half the body, a pause, the rest),
// never, or by dropping the connection; other paths get 404.
class LocalHttpServer : public QObject
{
public:
    enum class How
    {
        Answer,
        Slow,
        Silent,
        Drop
    };
    struct Reply
    {
        int status = 200;
        QByteArray body;
        How how = How::Answer;
    };
    static constexpr int SlowPauseMs = 400;

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
    // A server that went away: no more connections, open ones cut.
    void shutDown()
    {
        m_server.close();
        for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
            socket->abort();
    }

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
        if (reply.how == How::Silent)
            return;
        const qsizetype split = reply.how == How::Slow ? reply.body.size() / 2 : reply.body.size();
        if (reply.how != How::Drop)
            socket->write("HTTP/1.1 " + QByteArray::number(reply.status) +
                          " Status\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                          "\r\nConnection: close\r\n\r\n" + reply.body.first(split));
        QTimer::singleShot(reply.how == How::Slow ? SlowPauseMs : 0, socket, [socket, rest = reply.body.sliced(split)] {
            socket->write(rest);
            socket->disconnectFromHost();
        });
    }

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_routes;
};
