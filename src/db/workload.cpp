#include "workload.h"

#include "database.h"
#include "dbenvironment.h"

int LIB_AddWorkload(const QString& jobCode, long count1, long count2, double amount)
{
    LIB_DB_CurrentStatement() = QStringLiteral("XT_wkr_job_qty ") + LIB_SQLQuote(jobCode) + QLatin1Char(',') +
                                LIB_SQLQuote(DbEnvironment::workerNumber()) + QLatin1Char(',') +
                                QString::number(count1) + QLatin1Char(',') + QString::number(count2) +
                                QLatin1Char(',') + QString::number(amount, 'f', 2);
    return LIB_DB_CallProc(LIB_DB_CurrentStatement(), 0);
}
