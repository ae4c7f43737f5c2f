#pragma once

// A circulation rule: one row of the cached rule table. All periods of a rule are counted in its
// time unit, days ("D") or hours (any other unit).

#include "db/resulttable.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// Column positions in the cached rule table.
namespace CircRuleColumn {
enum {
    RuleNo,
    RuleName,
    TimeUnit,
    NormTerm,
    LimtLendQty,
    MaxLendQty,
    PergYsno,
    RenewYsno,
    MaxRenewTimes,
    RenewBefExpDays,
    FstRenewDays,
    AddRenewDays,
    PregKeepDays,
    MinUseDays,
    UseBefExpDays,
    UseAftAsbackDays,
    MaxExcdTimes,
    FstNotice,
    SndNotice,
    ThdNotice,
    UnfineExtDays,
    FstFineDays,
    FstFinePrice,
    OtherFinePrice,
    TechFee,
    ServFee,
    FstNoticeNo,
    SndNoticeNo,
    ThdNoticeNo,
    PregNoticeNo,
    KeepBookQty,
    RenewCalcFlag,
    RuleFlag,
    RegDay,
    UptDay,
    RespWkr,
};
}

struct CircRule
{
    QString ruleNo;
    QString ruleName;
    QString timeUnit;
    int normTerm = 0;    // normal loan period
    int limtLendQty = 0; // loans of one circulation type at one location
    int maxLendQty = 0;  // loans at one location
    QString pergYsno;    // reservations allowed
    QString renewYsno;   // renewals allowed
    int maxRenewTimes = 0;
    int renewBefExpDays = 0;
    int fstRenewDays = 0;
    int addRenewDays = 0;
    int pregKeepDays = 0;
    int minUseDays = 0;
    int useBefExpDays = 0;
    int useAftAsbackDays = 0;
    int maxExcdTimes = 0;
    int fstNotice = 0;
    int sndNotice = 0;
    int thdNotice = 0;
    int unfineExtDays = 0;     // grace period before an overdue loan is charged
    int fstFineDays = 0;       // length of the first charging period
    double fstFinePrice = 0;   // charge per unit in the first period
    double otherFinePrice = 0; // charge per unit after it
    double techFee = 0;
    double servFee = 0;
    QString fstNoticeNo;
    QString sndNoticeNo;
    QString thdNoticeNo;
    QString pregNoticeNo;
    int keepBookQty = 0;
    QString renewCalcFlag; // "0": a renewal counts from the current day, otherwise from the due date
    QString ruleFlag;
    QString regDay;
    QString uptDay;
    QString respWkr;

    bool countsInDays() const { return timeUnit == QLatin1String("D"); }
    // The charges in whole cents, so that charge arithmetic stays exact.
    qint64 fstFinePriceCents() const { return qRound64(fstFinePrice * 100); }
    qint64 otherFinePriceCents() const { return qRound64(otherFinePrice * 100); }

    // The rule in one data row (2 upwards) of a table with the rule columns in cached order.
    static CircRule fromRow(const ResultTable& table, int row);
};

// The data row of the cached rule with this number, or -1.
int LIB_CircRuleRow(const QString& ruleNo);
// The cached rule with this number.
std::optional<CircRule> LIB_FindCircRule(const QString& ruleNo);
