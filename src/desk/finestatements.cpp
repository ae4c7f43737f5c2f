#include "finestatements.h"

#include "db/database.h"
#include "startup/environment.h"

#include <QStringList>

int fineSelect(const QString& sql, ResultTable& rows)
{
    LIB_DB_CurrentStatement() = sql;
    return LIB_DB_Select(LIB_DB_CurrentStatement(), rows);
}

int fineCall(const QString& statement)
{
    LIB_DB_CurrentStatement() = statement;
    return LIB_DB_CallProc(LIB_DB_CurrentStatement());
}

QString fineChargeUpdate(const QString& propNo, const QString& certId, const QString& lendDate,
                         const QString& null, const QString& amount, const QString& bill,
                         const QString& dateOrPayMode, const QString& remark)
{
    QStringList arguments{LIB_SQLQuote(propNo), LIB_SQLQuote(certId), LIB_SQLQuote(lendDate)};
    for (int i = 0; i < 8; ++i)
        arguments << null;
    arguments << amount << LIB_SQLQuote(bill) << LIB_SQLQuote(dateOrPayMode)
              << LIB_SQLQuote(QStringLiteral("1")) << LIB_SQLQuote(LIB_GetEnv(4)) << LIB_SQLQuote(remark)
              << QStringLiteral("NULL") << QStringLiteral("NULL");
    return QStringLiteral("LT_UPD_exceed_fine_lst ") + arguments.join(QLatin1Char(','));
}

QString fineReaderUpdate(const QString& certId, const QMap<int, QString>& values, const QString& null)
{
    QStringList arguments{LIB_SQLQuote(certId)};
    for (int position = 1; position <= 30; ++position)
        arguments << values.value(position, null);
    return QStringLiteral("LT_UPD_reader_new ") + arguments.join(QLatin1Char(','));
}

QString fineAccountEntry(const QString& certId, const QString& type, const QString& payMode,
                         const QString& time, const QString& bill, const QString& amount)
{
    const QStringList arguments{LIB_SQLQuote(certId),        LIB_SQLQuote(type),
                                LIB_SQLQuote(payMode),       LIB_SQLQuote(QStringLiteral("1")),
                                LIB_SQLQuote(time),          LIB_SQLQuote(bill),
                                LIB_SQLQuote(LIB_GetEnv(4)), LIB_SQLQuote(amount)};
    return QStringLiteral("INSERT_DEPOSIT_ACCOUNT_LST ") + arguments.join(QLatin1Char(','));
}
