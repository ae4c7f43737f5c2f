#pragma once

#include "db/dbsession.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct pg_conn;

// The floor of an operation: the statements it sent, replayed on a connection of its own with
// bare client calls (send, wait for the result, free it) and nothing else, so that the time is what
// the server and the socket cost.
class FloorSession
{
public:
    FloorSession() = default;
    ~FloorSession();
    FloorSession(const FloorSession&) = delete;
    FloorSession& operator=(const FloorSession&) = delete;

    // The same connection values the desk's session uses. false with error() filled.
    bool connect(const ConnectionValues& values);
    QString error() const { return m_error; }

    // Replays the statements in order; returns the nanoseconds taken. Statements the server
    // refused are counted in failures (with the first refusal kept in lastFailure()).
    qint64 replay(const QList<QByteArray>& statements);
    int failures() const { return m_failures; }
    // The processor time of this process during the last replay.
    qint64 lastProcessorNanoseconds() const { return m_lastProcessor; }
    QString lastFailure() const { return m_lastFailure; }

    // One statement outside any timing, for plans and set-up: every row as tab-separated text.
    QStringList rows(const QByteArray& statement);

private:
    pg_conn* m_conn = nullptr;
    QString m_error;
    int m_failures = 0;
    qint64 m_lastProcessor = 0;
    QString m_lastFailure;
};
