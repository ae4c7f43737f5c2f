#pragma once

// Where the statistics read: an optional read replica of the library database (a streaming
// standby named in tavorn.ini), so that a busy library's figures never slow the desks. Only
// statements that read go there: the statistics, rankings and reports; every desk operation
// and everything that writes stays on the primary session. A replica that is down, or that has
// not replayed what the primary had written when the statistics began (within the wait), is
// passed over: the figures then come from the primary, and the notice says so.

#include "dbsession.h"

#include <QString>

// The replica's connection values (an empty DSN: no replica) and how long a run waits for it to
// catch up with the primary before the primary answers.
void LIB_SetStatisticsReplica(const ConnectionValues& replica, int waitMilliseconds);
bool LIB_HasStatisticsReplica();
// The replica's session, made once (tests look at it; the statistics reach it through
// StatisticsSession).
DbSession& LIB_StatisticsReplicaSession();

// For as long as it lives, the LIB_DB_ routines of this thread use the replica when it is
// configured, answers and has caught up; otherwise the primary, and notice() says why.
class StatisticsSession
{
public:
    StatisticsSession();
    ~StatisticsSession();
    StatisticsSession(const StatisticsSession&) = delete;
    StatisticsSession& operator=(const StatisticsSession&) = delete;

    bool onReplica() const { return m_onReplica; }
    QString notice() const { return m_notice; }

private:
    DbSession* m_previous = nullptr;
    bool m_onReplica = false;
    QString m_notice;
};

// The notice of the last statistics run on this thread (empty when the replica answered or
// none is configured); the windows show it under their results.
QString LIB_StatisticsNotice();
