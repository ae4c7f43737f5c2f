#pragma once

// The period of the ranking and rate windows: a year, a month of a year or a range of days, and
// the two forms in which their statements restrict a table by it.

#include <QString>

struct StatPeriod
{
    enum Kind { Year, Month, Range };

    Kind kind = Month;
    QString year;               // four digits (Year, Month)
    QString month;              // "01".."12" (Month)
    QString beginDate, endDate; // "yyyy-mm-dd" (Range)

    // The history windows' form on table X: " AND substr(X.date_time,1,4) = '2024'", the month
    // "1,7) = '2024-03'", the range by ">=" and "<=" on the first ten characters.
    QString historyCondition(const QString& table) const;
    // The log windows' form on a date column D: " substr(D,1,4)='2024'", "1,7)='2024-03'", or
    // " substr(D,1,10) between '2024-01-01' and '2024-03-31'".
    QString logCondition(const QString& column) const;
    // As the windows show it: "2024年", "2024年03月", "2024-01-01 到 2024-03-31".
    QString text() const;
    // The year or month as the summaries key them ("2024", "2024-03"); empty for a range.
    QString prefix() const;
};

// The leading number of a text, as the count combos read their entries ("100人" is 100); 0
// without one.
int LIB_LeadingNumber(const QString& text);
// Whether a text is a decimal number as the rate conditions take it ("1", "0.5", ".5", "2.").
bool LIB_IsDecimal(const QString& text);
