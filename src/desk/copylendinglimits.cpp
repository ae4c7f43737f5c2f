#include "copylendinglimits.h"

#include "codes/codetables.h"
#include "codes/rulematching.h"

#include <cmath>

namespace {

// The group limit for a reader type, 0 when none applies.
int groupLimit(const QString& group, const QString& readerType)
{
    const int row = FindGroupLimit(group, readerType);
    if (row < 0)
        return 0;
    return int(std::lround(LIB_CodeTable(CodeTable::GroupLimits).number(GroupLimitColumn::MaxLendQty, row)));
}

} // namespace

QString LIB_CopyLendLimitRefusal(const ResultTable& loans, const QString& location, const QString& circType,
                                 const QString& readerType, const CircRule& rule)
{
    const int firstRow = 2;
    const int endRow = loans.recordCount() + 2;

    const QString group = LocationGroup(location);
    if (!group.isEmpty()) {
        const int limit = groupLimit(group, readerType);
        if (limit > 0) {
            int inGroup = 0;
            for (int row = firstRow; row < endRow; ++row) {
                if (LocationGroup(loans.text(CopyLoanColumn::Location, row)) == group)
                    ++inGroup;
            }
            if (inGroup >= limit)
                return QStringLiteral("E已达该馆藏地组最大册数");
        }
    }

    int atLocation = 0;
    int ofType = 0;
    for (int row = firstRow; row < endRow; ++row) {
        if (loans.text(CopyLoanColumn::Location, row) != location)
            continue;
        ++atLocation;
        if (loans.text(CopyLoanColumn::CircType, row) == circType)
            ++ofType;
    }
    if (atLocation >= rule.maxLendQty)
        return QStringLiteral("ELT120");
    if (ofType >= rule.limtLendQty)
        return QStringLiteral("ELT121");
    return {};
}
