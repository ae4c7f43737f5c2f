#pragma once

// The charge for a photocopy loan returned late, and the money arithmetic behind it.
//
// Money is never computed in binary floating point: a value read from the database becomes an
// exact count of millionths of a yuan, charges are formed from whole counts, and the result is
// kept in whole cents (fen). A charge of 1.005 therefore rounds to 1.01, as the desk's "0.00"
// format does, and not to 1.00 as a double would.

#include "codes/circrule.h"

#include <QString>
#include <QtGlobal>

// An amount read from the database (a number column, a system parameter) as millionths of a yuan.
qint64 LIB_MicroYuan(double amount);
// Millionths of a yuan to whole cents, halves away from zero.
qint64 LIB_CentsHalfAway(qint64 microYuan);
// Whole cents as "0.00".
QString LIB_CentsText(qint64 cents);

// The rounding of system parameter 9: 1 cuts the cents down to tenths (1.27 -> 1.20), 2 rounds
// half up to tenths (1.25 -> 1.30, 1.24 -> 1.20), any other value leaves the cents alone.
qint64 LIB_RoundFineCents(qint64 cents, double roundingMode);

struct OverdueCharge
{
    QString dueString;    // the due date the return is recorded against
    int count = 0;        // days (day rules) or hours (hour rules) charged
    qint64 fineCents = 0; // rounded by system parameter 9
    QString unit;         // "D" or "H" when a charge was worked out, else empty
    QString description;  // how the charge was worked out, e.g. "30首期天 * 0.10+5附加天 * 0.20"

    bool charged() const { return !unit.isEmpty(); }
    QString fineText() const { return LIB_CentsText(fineCents); }
};

// The number of clock-hour boundaries passed from one "yyyy-mm-ddhh:mm:ss" time to another
// (10:59 to 11:01 is one); 0 when either is not a date-time.
int LIB_ClockHoursBetween(const QString& from, const QString& to);

// The charge for a loan of `rule` due at `dueString` and returned at `serverDateTime`
// ("yyyy-mm-ddhh:mm:ss"). For day rules `dueString` is the stored due date already moved by the
// item location's calendar. The grace period (unfine_ext_days) only decides whether anything is
// charged: a day-rule loan then pays for every day since its due date, an hour-rule loan for the
// clock hours begun after the grace hours. Without a charge the due string becomes the due date
// extended by the grace period.
OverdueCharge LIB_OverdueCharge(const CircRule& rule, const QString& dueString, const QString& serverDateTime,
                                double roundingMode);
