#include "serverclock.h"

#include "db/database.h"

ServerClock& ServerClock::instance()
{
    static ServerClock clock;
    return clock;
}

QDateTime ServerClock::wallClock(const QDateTime& time)
{
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

int ServerClock::measure()
{
    const QDateTime before = QDateTime::currentDateTime();
    ResultTable result;
    LIB_DB_CurrentStatement() =
        QStringLiteral("SELECT to_char(clock_timestamp(), 'YYYY-MM-DD HH24:MI:SS.MS')");
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), result) != 0 || result.recordCount() < 1)
        return -1;
    const QDateTime after = QDateTime::currentDateTime();
    const QString text = result.text(0, 2);
    const QDateTime server(QDate::fromString(text.left(10), Qt::ISODate),
                           QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss.zzz")), Qt::UTC);
    if (!server.isValid())
        return -1;
    // The server read its clock about halfway through the round trip.
    measureFrom(server, before.addMSecs(before.msecsTo(after) / 2));
    return 0;
}

void ServerClock::measureFrom(const QDateTime& serverWallClock, const QDateTime& local)
{
    m_offsetMs = wallClock(local).msecsTo(wallClock(serverWallClock));
    m_measured = true;
}

QString ServerClock::now() const
{
    return wallClock(QDateTime::currentDateTime())
        .addMSecs(m_offsetMs)
        .toString(QStringLiteral("yyyy-MM-ddHH:mm:ss"));
}
