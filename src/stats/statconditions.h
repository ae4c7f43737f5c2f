#pragma once

// The statistics conditions: one record for the session, set by the condition dialog
// frmStatProp and read by the statistics windows (and filled from options by readdesk-report).

#include "db/resulttable.h"

#include <QString>

struct StatConditions
{
    enum PeriodKind { Year = 1, Month = 2, DateRange = 3 };

    QString statTypeCode;              // empty for the one-off template "[自定义]"
    QString location = allLocations(); // "所有馆藏地" or a location name
    int periodKind = Month;
    QString year;               // four digits (kinds 1 and 2)
    QString month;              // "01".."12" (kind 2)
    QString beginDate, endDate; // "yyyy-mm-dd" (kind 3)

    static StatConditions& current();
    static QString allLocations() { return QStringLiteral("所有馆藏地"); }

    // The period as the windows show it: "2024年", "2024年03月", "2024-01-01 至 2024-03-31".
    QString periodText() const;
    // The location code of the location name (location table); empty for all locations.
    QString locationCode() const;
};

// The templates offered (codes beginning with S or U): stat_type_name, stat_type_code. 0, or -1
// with the error record filled.
int LIB_LoadStatTemplates(ResultTable& templates);
// The name of the one-off template in the template lists.
inline QString LIB_OneOffTemplateName()
{
    return QStringLiteral("[自定义]");
}

// The code of a location name in the cached location table; empty when unknown.
QString LIB_LocationCode(const QString& name);
// A month number as the conditions hold it: 9 -> "09", 10 -> "10".
QString LIB_TwoDigitMonth(int month);
