#include "copylendingpermit.h"

#include "codes/codenames.h"
#include "codes/codetables.h"

#include <QStringList>

QString LIB_DeskPermitRefusal(const QString& itemLocation, const QString& deskLocation, int listColumn)
{
    const ResultTable& locations = CodeTables::instance().deskLocations();
    QString permitted = itemLocation;
    for (int row = 2; row < locations.recordCount() + 2; ++row) {
        if (locations.text(LocationColumn::Location, row) == itemLocation) {
            permitted = locations.text(listColumn, row);
            break;
        }
    }
    // A plain substring test, as the lists have always been read.
    return permitted.contains(deskLocation) ? QString() : permitted;
}

QString LIB_LocationNames(const QString& locationList)
{
    QStringList names;
    for (const QString& code : locationList.split(QLatin1Char(',')))
        names.append(LIB_LocationName(code));
    return names.join(QLatin1Char(','));
}
