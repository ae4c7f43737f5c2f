#include "overduecharge.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");
const QString dateTimeFormat = QStringLiteral("yyyy-MM-ddHH:mm:ss");

// The labels of the description, by the rule's unit.
struct UnitLabels
{
    QString unit;
    QString first;
    QString other;
};

QString priceText(qint64 microYuan)
{
    return LIB_CentsText(LIB_CentsHalfAway(microYuan));
}

// Fills count, fine, unit and description once the loan is known to be charged.
void charge(OverdueCharge& result, const CircRule& rule, int count, const UnitLabels& labels,
            double roundingMode)
{
    const qint64 firstPrice = LIB_MicroYuan(rule.fstFinePrice);
    const qint64 otherPrice = LIB_MicroYuan(rule.otherFinePrice);
    const int extra = count - rule.fstFineDays;
    qint64 fine = 0;
    if (extra > 0) {
        fine = firstPrice * rule.fstFineDays + otherPrice * extra;
        result.description = QString::number(rule.fstFineDays) + labels.first + priceText(firstPrice) +
                             QLatin1Char('+') + QString::number(extra) + labels.other + priceText(otherPrice);
    } else {
        fine = firstPrice * count;
        result.description = QString::number(count) + labels.first + priceText(firstPrice);
    }
    result.count = count;
    result.unit = labels.unit;
    result.fineCents = LIB_RoundFineCents(LIB_CentsHalfAway(fine), roundingMode);
}

OverdueCharge dayCharge(const CircRule& rule, const QString& dueString, const QString& serverDateTime,
                        double roundingMode)
{
    OverdueCharge result;
    result.dueString = dueString;
    const QString due = dueString.left(10);
    const QDate dueDate = QDate::fromString(due, dateFormat);
    if (!dueDate.isValid())
        return result; // a loan without a readable due date is not charged
    const QString extended = dueDate.addDays(rule.unfineExtDays).toString(dateFormat);
    const QString today = serverDateTime.left(10);
    if (!(extended < today)) {
        result.dueString = extended;
        return result;
    }
    result.dueString = due;
    const int days = int(dueDate.daysTo(QDate::fromString(today, dateFormat)));
    charge(result, rule, days,
           {QStringLiteral("D"), QStringLiteral("首期天 * "), QStringLiteral("附加天 * ")}, roundingMode);
    return result;
}

// Plain clock arithmetic on "yyyy-mm-dd" + "hh:mm:ss" texts: no time zone may shift the hours.
QDateTime clockTime(const QString& text)
{
    const QDate date = QDate::fromString(text.left(10), dateFormat);
    const QString timeText = text.mid(10).trimmed();
    const QTime time =
        timeText.isEmpty() ? QTime(0, 0) : QTime::fromString(timeText.left(8), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

// The hour a moment lies in, counted from the epoch; the difference of two such numbers is the
// number of clock-hour boundaries between them (10:59 to 11:01 is one).
qint64 clockHour(const QDateTime& moment)
{
    const qint64 seconds = moment.toSecsSinceEpoch();
    return seconds >= 0 ? seconds / 3600 : -((-seconds + 3599) / 3600);
}

OverdueCharge hourCharge(const CircRule& rule, const QString& dueString, const QString& serverDateTime,
                         double roundingMode)
{
    OverdueCharge result;
    result.dueString = dueString;
    const QDateTime due = clockTime(dueString);
    const QDateTime now = clockTime(serverDateTime);
    if (!due.isValid() || !now.isValid())
        return result;
    const QDateTime extended = due.addSecs(qint64(rule.unfineExtDays) * 3600);
    result.dueString = extended.toString(dateTimeFormat);
    if (!(result.dueString < serverDateTime))
        return result;
    // Counted from the end of the grace hours, not from the stored due time.
    const int hours = int(clockHour(now) - clockHour(extended));
    charge(result, rule, hours,
           {QStringLiteral("H"), QStringLiteral("首期小时 * "), QStringLiteral("附加小时 * ")}, roundingMode);
    return result;
}

} // namespace

qint64 LIB_MicroYuan(double amount)
{
    // Prices carry at most a few decimals; rounding at the millionth absorbs the binary error
    // of the double the database value arrived in (1.005 is 1.00499999... as a double).
    return std::llround(amount * 1e6);
}

qint64 LIB_CentsHalfAway(qint64 microYuan)
{
    const qint64 magnitude = (std::llabs(microYuan) + 5000) / 10000;
    return microYuan < 0 ? -magnitude : magnitude;
}

QString LIB_CentsText(qint64 cents)
{
    const qint64 magnitude = std::llabs(cents);
    return QString::asprintf("%s%lld.%02lld", cents < 0 ? "-" : "", magnitude / 100, magnitude % 100);
}

qint64 LIB_RoundFineCents(qint64 cents, double roundingMode)
{
    // Cutting to tenths drops the last digit of the "0.00" text, so it goes towards zero.
    if (roundingMode == 1)
        return cents / 10 * 10;
    if (roundingMode == 2)
        return (cents + 5) / 10 * 10;
    return cents;
}

int LIB_ClockHoursBetween(const QString& from, const QString& to)
{
    const QDateTime start = clockTime(from);
    const QDateTime end = clockTime(to);
    if (!start.isValid() || !end.isValid())
        return 0;
    return int(clockHour(end) - clockHour(start));
}

OverdueCharge LIB_OverdueCharge(const CircRule& rule, const QString& dueString, const QString& serverDateTime,
                                double roundingMode)
{
    if (rule.countsInDays())
        return dayCharge(rule, dueString, serverDateTime, roundingMode);
    return hourCharge(rule, dueString, serverDateTime, roundingMode);
}
