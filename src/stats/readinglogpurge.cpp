#include "readinglogpurge.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "startup/operatorlogin.h"

namespace {

struct ModeLog
{
    const char* table;
    const char* timeColumn;
    const char* modeName;
};

const ModeLog* modeLog(int deskMode)
{
    static const ModeLog logs[] = {
        {"book_use_stat", "use_date_time", "图书计次"},
        {"reader_stat", "read_date_time", "读者登到"},
        {"reader_book_stat", "date_time", "读者图书登记"},
    };
    return deskMode >= 0 && deskMode < 3 ? &logs[deskMode] : nullptr;
}

} // namespace

QString readingLogTable(int deskMode)
{
    const ModeLog* log = modeLog(deskMode);
    return log ? QLatin1String(log->table) : QString();
}

QString readingLogPurgeTitle(int deskMode)
{
    const ModeLog* log = modeLog(deskMode);
    const QString title = QStringLiteral("删除历史记录");
    return log ? title + QStringLiteral("-(") + QString::fromUtf8(log->modeName) + QLatin1Char(')') : title;
}

QString readingLogPurgeStatement(int deskMode, const QString& day)
{
    const ModeLog* log = modeLog(deskMode);
    if (!log)
        return {};
    return QStringLiteral(" DELETE FROM ") + QLatin1String(log->table) + QLatin1Char(' ') +
           QStringLiteral(" WHERE substr(") + QLatin1String(log->timeColumn) + QStringLiteral(",1,10) <= ") +
           LIB_SQLQuote(day.trimmed());
}

int purgeReadingLog(int deskMode, const QString& day)
{
    if (!LIB_HasRight(QStringLiteral("4023")))
        return 0;
    const QString statement = readingLogPurgeStatement(deskMode, day);
    if (statement.isEmpty())
        return 0;
    if (LIB_ShowMsg(QStringLiteral("Q是否确认删除历史记录?")) != 1)
        return 0;
    LIB_DB_BeginTrans();
    LIB_DB_CurrentStatement() = statement;
    if (LIB_DB_Execute(statement) != 0) {
        // Reported first: the rollback would replace the error record.
        const ErrorRecord error = LIB_DB_Error();
        LIB_DB_Rollback();
        LIB_DB_Error() = error;
        LIB_DB_ShowError();
        return -1;
    }
    if (LIB_DB_CommitTrans() != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    LIB_ShowMsg(QStringLiteral("ISC102"));
    return 1;
}
