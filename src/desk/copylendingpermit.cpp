#include "copylendingpermit.h"

#include "codes/codenames.h"
#include "codes/codetables.h"

#include <QStringList>

QString LIB_DeskPermitRefusal(const QString& itemLocation, const QString& deskLocation, int listColumn)
{
    const ResultTable& locations = CodeTables::instance().deskLocations();
    for (int row = 2; row < locations.recordCount() + 2; ++row) {
        if (locations.text(LocationColumn::Location, row) == itemLocation) {
            const QString permitted = locations.text(listColumn, row);
            // A plain substring test, as the lists have always been read.
            return permitted.contains(deskLocation) ? QString() : permitted;
        }
    }
    return itemLocation;
}

QString LIB_LocationNames(const QString& locationList)
{
    QStringList names;
    for (const QString& code : locationList.split(QLatin1Char(',')))
        names.append(LIB_LocationName(code));
    return names.join(QLatin1Char(','));
}

QString LIB_ClosedEveryDayMessage(const QString& location)
{
    return QStringLiteral("E馆藏地[%1]一周七天都不开放，无法确定应还日期，请检查开放时间设置！")
        .arg(LIB_LocationName(location));
}
