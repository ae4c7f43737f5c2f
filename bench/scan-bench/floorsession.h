#pragma once

#include "db/dbsession.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct pg_conn;

// The floor of an operation: the statements it sent, replayed with bare client calls (send, wait
// for the result, free it) and nothing else, on the desk session's own connection, so that they
// meet the same server process. Plans are read on a connection of its own.
class FloorSession
{
public:
    FloorSession() = default;
    ~FloorSession();
    FloorSession(const FloorSession&) = delete;
    FloorSession& operator=(const FloorSession&) = delete;

    // The connection for plans, with the desk session's connection values. false with error().
    bool connect(const ConnectionValues& values);
    QString error() const { return m_error; }

    // Replays the statements in order on the current session; returns the nanoseconds taken.
    // Statements the server refused are counted in failures (with the last refusal kept in
    // lastFailure()); a transaction a refusal left open is rolled back outside the timing.
    qint64 replay(const QList<QByteArray>& statements);
    int failures() const { return m_failures; }
    QString lastFailure() const { return m_lastFailure; }
    // The processor time of this process during the last replay.
    qint64 lastProcessorNanoseconds() const { return m_lastProcessor; }

    // One statement on the plans' connection, outside any timing: every row as tab-separated text.
    QStringList rows(const QByteArray& statement);

private:
    pg_conn* m_conn = nullptr;
    QString m_error;
    int m_failures = 0;
    qint64 m_lastProcessor = 0;
    QString m_lastFailure;
};
