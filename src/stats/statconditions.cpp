#include "statconditions.h"

#include "codes/codetables.h"
#include "db/database.h"

StatConditions& StatConditions::current()
{
    static StatConditions conditions;
    return conditions;
}

QString StatConditions::periodText() const
{
    switch (periodKind) {
    case Year:
        return year + QStringLiteral("年");
    case Month:
        return year + QStringLiteral("年") + month + QStringLiteral("月");
    default:
        return beginDate + QStringLiteral(" 至 ") + endDate;
    }
}

QString StatConditions::locationCode() const
{
    return location == allLocations() ? QString() : LIB_LocationCode(location);
}

QString LIB_LocationCode(const QString& name)
{
    const ResultTable& locations = LIB_CodeTable(CodeTable::Locations);
    for (int row = 2; row < locations.recordCount() + 2; ++row)
        if (locations.text(1, row) == name)
            return locations.text(0, row);
    return {};
}

QString LIB_TwoDigitMonth(int month)
{
    return QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
}

int LIB_LoadStatTemplates(ResultTable& templates)
{
    return LIB_DB_Select(QStringLiteral(" SELECT stat_type_name,stat_type_code ") +
                             QStringLiteral(" FROM   stat_type_code ") +
                             QStringLiteral(" WHERE  substr(stat_type_code,1,1) in ('S','U') "),
                         templates);
}
