#include "scriptedservice.h"

#include <QTcpSocket>

ScriptedService::ScriptedService()
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray request = socket->property("request").toByteArray() + socket->readAll();
                socket->setProperty("request", request);
                if (!request.contains("\r\n\r\n"))
                    return;
                const QByteArray line = request.left(request.indexOf("\r\n"));
                requests.append(line);
                const QByteArray path = line.split(' ').value(1);
                if (onRequest)
                    onRequest(path);
                if (stalls > 0) {
                    --stalls; // the connection stays open and silent
                    return;
                }
                answer(socket, path);
            });
        }
    });
}

QString ScriptedService::address() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

void ScriptedService::answer(QTcpSocket* socket, const QByteArray& path)
{
    const bool known = bodies.contains(path);
    const QByteArray body = known ? bodies.value(path) : QByteArray("not here");
    socket->write(
        (known ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
        QByteArray("Content-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: ") +
        QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
}
