#include "testdatabase.h"

#include <QCoreApplication>
#include <QTest>
#include <QtGlobal>

namespace {
const char* user = "readdesk";
const char* password = "readdesk";

ConnectionValues valuesFor(const QString& database)
{
    return {
        QStringLiteral("host=%1 port=%2 dbname=%3").arg(TestDatabase::host(), TestDatabase::port(), database),
        QString::fromLatin1(user), QString::fromLatin1(password)};
}
} // namespace

QString TestDatabase::host()
{
    return qEnvironmentVariable("READDESK_TEST_HOST", QStringLiteral("127.0.0.1"));
}

QString TestDatabase::port()
{
    return qEnvironmentVariable("READDESK_TEST_PORT", QStringLiteral("54339"));
}

TestDatabase::TestDatabase(const QString& name)
    : m_name(QStringLiteral("t_%1_%2").arg(name.toLower()).arg(QCoreApplication::applicationPid()))
{
    DbSession server;
    server.setConnectionValues(valuesFor(QStringLiteral("postgres")));
    if (server.connect() != 0) {
        qWarning("test database server not reachable: %s", qPrintable(server.error().description));
        return;
    }
    server.execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name), 0);
    if (server.execute(QStringLiteral("CREATE DATABASE %1 TEMPLATE library").arg(m_name), 0) != 0 ||
        server.execute(QStringLiteral("ALTER DATABASE %1 SET search_path = public, oracle").arg(m_name), 0) !=
            0) {
        qWarning("cannot copy the library database: %s", qPrintable(server.error().description));
        return;
    }
    m_admin.setConnectionValues(valuesFor(m_name));
    m_ready = m_admin.connect() == 0;
}

TestDatabase::~TestDatabase()
{
    m_admin.disconnect();
    DbSession::current().disconnect();
    DbSession server;
    server.setConnectionValues(valuesFor(QStringLiteral("postgres")));
    if (server.connect() == 0)
        server.execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name), 0);
}

QString TestDatabase::dsn() const
{
    return valuesFor(m_name).dsn;
}

ConnectionValues TestDatabase::connectionValues() const
{
    return valuesFor(m_name);
}

int TestDatabase::connectCurrentSession() const
{
    DbSession::current().setConnectionValues(connectionValues());
    return DbSession::current().connect();
}

QString TestDatabase::scalar(const QString& sql) const
{
    ResultTable table;
    if (m_admin.select(sql, table) != 0) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, m_admin.error().description)), __FILE__,
                     __LINE__);
        m_admin.error().clear();
        return {};
    }
    return table.recordCount() > 0 ? table.value(0, 2).toString() : QString();
}

void TestDatabase::exec(const QString& sql) const
{
    if (m_admin.execute(sql, 0) != 0) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, m_admin.error().description)), __FILE__,
                     __LINE__);
        m_admin.error().clear();
    }
}

void TestDatabase::terminateOtherSessions() const
{
    scalar(QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                          "WHERE datname = current_database() AND pid <> pg_backend_pid()"));
}
