#pragma once

#include <QHash>
#include <QList>
#include <QTcpServer>
#include <functional>

// A small HTTP service run by a test: answers each path with its body (404 for an unknown path),
// leaves the next `stalls` requests unanswered, and remembers every request line.
class ScriptedService : public QTcpServer
{
public:
    ScriptedService();

    QString address() const; // "http://127.0.0.1:<port>"

    QHash<QByteArray, QByteArray> bodies; // by path with query, "/a.txt"
    int stalls = 0;
    QList<QByteArray> requests;                       // "GET /a.txt HTTP/1.1"
    std::function<void(const QByteArray&)> onRequest; // called with the path of each request

private:
    void answer(class QTcpSocket* socket, const QByteArray& path);
};
