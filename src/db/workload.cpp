#include "workload.h"

#include "database.h"
#include "dbenvironment.h"
#include "logfile.h"

int LIB_AddWorkload(const QString& jobCode, long count1, long count2, double amount)
{
    LIB_DB_CurrentStatement() = QStringLiteral("XT_wkr_job_qty ") + LIB_SQLQuote(jobCode) + QLatin1Char(',') +
                                LIB_SQLQuote(DbEnvironment::workerNumber()) + QLatin1Char(',') +
                                QString::number(count1) + QLatin1Char(',') + QString::number(count2) +
                                QLatin1Char(',') + QString::number(amount, 'f', 2);
    // The count never undoes the work it counts: it runs under a savepoint of the caller's
    // transaction, and a failure is only logged.
    if (DbSession::current().callProcKeepingTransaction(LIB_DB_CurrentStatement(), 0) == 0)
        return 0;
    LIB_WriteLogFile(LIB_DB_Error().description);
    LIB_WriteLogFile(LIB_DB_CurrentStatement());
    LIB_DB_Error().clear();
    return -1;
}
