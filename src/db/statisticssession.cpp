#include "statisticssession.h"

#include "database.h"
#include "logfile.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

struct ReplicaSettings
{
    ConnectionValues connection;
    int waitMilliseconds = 1000;
};

ReplicaSettings& settings()
{
    static ReplicaSettings replica;
    return replica;
}

thread_local QString t_notice;

// After a failed connection the replica is not tried again for a while: a host that does not
// answer holds each attempt for the connection's time-out.
constexpr qint64 retryAfterMilliseconds = 30000;
QElapsedTimer& lastFailure()
{
    static QElapsedTimer timer;
    return timer;
}

// How far the primary has written: its write position, or its replay position when it is itself
// a standby. Empty when it cannot tell.
QString primaryPosition(DbSession& primary)
{
    ResultTable table;
    if (primary.select(QStringLiteral("SELECT CASE WHEN pg_is_in_recovery() THEN pg_last_wal_replay_lsn() "
                                      "ELSE pg_current_wal_lsn() END::text"),
                       table) != 0 ||
        table.recordCount() < 1) {
        primary.error().clear();
        return {};
    }
    return table.text(0, 2);
}

} // namespace

void LIB_SetStatisticsReplica(const ConnectionValues& replica, int waitMilliseconds)
{
    settings() = {replica, std::max(0, waitMilliseconds)};
    DbSession& session = LIB_StatisticsReplicaSession();
    session.disconnect();
    lastFailure().invalidate();
    session.setConnectionValues(replica);
}

bool LIB_HasStatisticsReplica()
{
    return !settings().connection.dsn.trimmed().isEmpty();
}

DbSession& LIB_StatisticsReplicaSession()
{
    static DbSession replica;
    return replica;
}

QString LIB_StatisticsNotice()
{
    return t_notice;
}

StatisticsSession::StatisticsSession() : m_previous(&DbSession::current())
{
    t_notice.clear();
    if (!LIB_HasStatisticsReplica())
        return;
    DbSession& replica = LIB_StatisticsReplicaSession();
    auto passOver = [this, &replica](const QString& reason) {
        m_notice = QStringLiteral("统计副本") + reason + QStringLiteral("，本次统计由主库完成");
        LIB_WriteLogFile(m_notice + QStringLiteral(": ") + replica.error().description);
        replica.error().clear();
        t_notice = m_notice;
    };
    const QString position = primaryPosition(*m_previous);
    if (!replica.isConnected()) {
        if (lastFailure().isValid() && lastFailure().elapsed() < retryAfterMilliseconds) {
            passOver(QStringLiteral("连接失败"));
            return;
        }
        replica.setConnectionValues(settings().connection);
        if (replica.connect() != 0) {
            lastFailure().start();
            passOver(QStringLiteral("连接失败"));
            return;
        }
        lastFailure().invalidate();
    }
    // Caught up: the replica has replayed at least what the primary had written when the
    // statistics began, so it holds every event committed before.
    const QString check =
        QStringLiteral("SELECT (NOT pg_is_in_recovery() OR coalesce(pg_last_wal_replay_lsn() >= ") +
        (position.isEmpty() ? QStringLiteral("NULL") : LIB_SQLQuote(position) + QStringLiteral("::pg_lsn")) +
        QStringLiteral(", false))::text");
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        ResultTable table;
        if (replica.select(check, table) != 0) {
            replica.disconnect();
            passOver(QStringLiteral("不可用"));
            return;
        }
        if (table.text(0, 2) == QLatin1String("true"))
            break;
        if (waited.elapsed() >= settings().waitMilliseconds) {
            passOver(QStringLiteral("数据滞后"));
            return;
        }
        QThread::msleep(20);
    }
    m_onReplica = true;
    DbSession::setCurrent(&replica);
}

StatisticsSession::~StatisticsSession()
{
    if (m_onReplica)
        DbSession::setCurrent(m_previous);
}
