#pragma once

// The calendar of a loan counted in days: it must end on a day when the item's location is open.
// Closing periods push the due date past their end (plus their extra days), and week days whose
// opening times are all "00:00" push it to the next day. Dates are "yyyy-mm-dd" texts.

#include "circrule.h"
#include "db/resulttable.h"

#include <QString>

// The cached closing periods and opening times of one location, in cached order, with the
// columns (and heading rows) of the cached tables.
ResultTable ClosingPeriods(const QString& location);
ResultTable OpeningTimes(const QString& location);

// The calendar a loan keeps while it is made or returned.
struct LoanCalendar
{
    ResultTable closingPeriods;
    ResultTable openingTimes;

    static LoanCalendar forLocation(const QString& location)
    {
        return {ClosingPeriods(location), OpeningTimes(location)};
    }
};

// Whether the opening times close all seven week days: no date can then be moved onto an open
// day, and the callers refuse to date a loan by such a calendar.
bool LIB_ClosedEveryWeekDay(const ResultTable& openingTimes);

// The first day from `due` on that lies outside every closing period and is not a closed week
// day. A week day without an opening-times row counts as open (see loancalendar.cpp). With every
// week day closed the walk stops after a week (see LIB_ClosedEveryWeekDay).
QString AdjustDueDate(const QString& due, const ResultTable& closingPeriods, const ResultTable& openingTimes);

// The due date of a loan made at the server time `serverDateTime` ("yyyy-mm-ddhh:mm:ss"):
// for day rules the date "yyyy-mm-dd" norm_term days later, moved by the calendar; for hour rules
// the moment norm_term hours later as "yyyy-mm-ddhh:mm:ss", without any calendar.
QString LIB_NewLoanDueDate(const CircRule& rule, const QString& serverDateTime, const LoanCalendar& calendar);
