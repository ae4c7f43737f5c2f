#include "statperiod.h"

#include "db/database.h"

#include <QRegularExpression>

QString StatPeriod::historyCondition(const QString& table) const
{
    const QString column = table + QStringLiteral(".date_time");
    switch (kind) {
    case Year:
        return QStringLiteral(" AND substr(") + column + QStringLiteral(",1,4) = ") + LIB_SQLQuote(year);
    case Month:
        return QStringLiteral(" AND substr(") + column + QStringLiteral(",1,7) = ") +
               LIB_SQLQuote(QString(year + QLatin1Char('-') + month));
    default:
        return QStringLiteral(" AND substr(") + column + QStringLiteral(",1,10) >= ") +
               LIB_SQLQuote(beginDate) + QStringLiteral(" AND substr(") + column +
               QStringLiteral(",1,10) <= ") + LIB_SQLQuote(endDate);
    }
}

QString StatPeriod::logCondition(const QString& column) const
{
    switch (kind) {
    case Year:
        return QStringLiteral(" substr(") + column + QStringLiteral(",1,4)=") + LIB_SQLQuote(year);
    case Month:
        return QStringLiteral(" substr(") + column + QStringLiteral(",1,7)=") +
               LIB_SQLQuote(QString(year + QLatin1Char('-') + month));
    default:
        return QStringLiteral(" substr(") + column + QStringLiteral(",1,10) between ") +
               LIB_SQLQuote(beginDate) + QStringLiteral(" and ") + LIB_SQLQuote(endDate);
    }
}

QString StatPeriod::text() const
{
    switch (kind) {
    case Year:
        return year + QStringLiteral("年");
    case Month:
        return year + QStringLiteral("年") + month + QStringLiteral("月");
    default:
        return beginDate + QStringLiteral(" 到 ") + endDate;
    }
}

QString StatPeriod::prefix() const
{
    switch (kind) {
    case Year:
        return year;
    case Month:
        return year + QLatin1Char('-') + month;
    default:
        return {};
    }
}

int LIB_LeadingNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^\\s*([0-9]+)"));
    return digits.match(text).captured(1).toInt();
}

bool LIB_IsDecimal(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral("^([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    return decimal.match(text.trimmed()).hasMatch();
}
