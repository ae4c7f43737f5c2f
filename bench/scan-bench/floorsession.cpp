#include "floorsession.h"

#include "latency.h"

#include <libpq-fe.h>

FloorSession::~FloorSession()
{
    if (m_conn)
        PQfinish(m_conn);
}

bool FloorSession::connect(const ConnectionValues& values)
{
    const QByteArray dsn = values.dsn.toUtf8();
    const QByteArray user = values.user.toUtf8();
    const QByteArray password = values.password.toUtf8();
    const char* keys[] = {"dbname", "user", "password", "client_encoding", "application_name", nullptr};
    const char* vals[] = {dsn.constData(),
                          user.isEmpty() ? nullptr : user.constData(),
                          password.isEmpty() ? nullptr : password.constData(),
                          "UTF8",
                          "scan-bench floor",
                          nullptr};
    m_conn = PQconnectdbParams(keys, vals, 1);
    if (PQstatus(m_conn) == CONNECTION_OK)
        return true;
    m_error = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    PQfinish(m_conn);
    m_conn = nullptr;
    return false;
}

qint64 FloorSession::replay(const QList<QByteArray>& statements)
{
    DbSession& session = DbSession::current();
    bool refused = false;
    QString refusal;
    const qint64 processor = processorNanoseconds();
    const qint64 start = monotonicNanoseconds();
    for (const QByteArray& statement : statements) {
        if (!session.executeBare(statement, &refusal)) {
            refused = true;
            ++m_failures;
            m_lastFailure = refusal;
        }
    }
    const qint64 took = monotonicNanoseconds() - start;
    m_lastProcessor = processorNanoseconds() - processor;
    if (refused)
        session.executeBare("ROLLBACK");
    return took;
}

QStringList FloorSession::rows(const QByteArray& statement)
{
    QStringList lines;
    PGresult* res = PQexec(m_conn, statement.constData());
    if (PQresultStatus(res) == PGRES_TUPLES_OK) {
        for (int r = 0; r < PQntuples(res); ++r) {
            QStringList cells;
            for (int c = 0; c < PQnfields(res); ++c)
                cells << QString::fromUtf8(PQgetvalue(res, r, c));
            lines << cells.join(QLatin1Char('\t'));
        }
    } else if (PQresultStatus(res) != PGRES_COMMAND_OK) {
        lines << QStringLiteral("ERROR: ") + QString::fromUtf8(PQresultErrorMessage(res)).trimmed();
    }
    PQclear(res);
    return lines;
}
