#include "rulematching.h"

#include "codetables.h"

bool InCodeList(const QString& value, const QString& list)
{
    if (list.trimmed() == QLatin1String("*"))
        return true;
    const int star = list.indexOf(QLatin1Char('*'));
    if (star >= 0 && value.startsWith(list.left(star)))
        return true;
    if (list.isEmpty())
        return false;
    const QStringList items = list.split(QLatin1Char(','));
    return items.contains(value);
}

int FindGroupLimit(const QString& group, const QString& readerType)
{
    const ResultTable& limits = LIB_CodeTable(CodeTable::GroupLimits);
    for (int row = 2; row < limits.recordCount() + 2; ++row) {
        if (InCodeList(group, limits.text(GroupLimitColumn::GroupCodes, row)) &&
            InCodeList(readerType, limits.text(GroupLimitColumn::ReaderTypeCodes, row)))
            return row;
    }
    return -1;
}

QString LocationGroup(const QString& location)
{
    const ResultTable& locations = CodeTables::instance().deskLocations();
    for (int row = 2; row < locations.recordCount() + 2; ++row) {
        if (locations.text(LocationColumn::Location, row) == location)
            return locations.text(LocationColumn::GroupId, row);
    }
    return {};
}
