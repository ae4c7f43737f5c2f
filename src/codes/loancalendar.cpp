#include "loancalendar.h"

#include "codetables.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <cmath>

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");

// The rows of a cached table whose location column holds this location, with the heading rows.
ResultTable rowsOfLocation(CodeTable which, int locationColumn, const QString& location)
{
    const ResultTable& all = LIB_CodeTable(which);
    QList<int> matching;
    for (int row = 2; row < all.recordCount() + 2; ++row) {
        if (all.text(locationColumn, row) == location)
            matching.append(row);
    }
    ResultTable rows(all.fieldCount(), int(matching.size()));
    for (int c = 0; c < all.fieldCount(); ++c) {
        rows.setValue(c, 0, all.value(c, 0));
        rows.setValue(c, 1, all.value(c, 1));
        for (int i = 0; i < matching.size(); ++i)
            rows.setValue(c, i + 2, all.value(c, matching.at(i)));
    }
    return rows;
}

QString weekName(const QDate& date)
{
    static const char* const names[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    return QLatin1String(names[date.dayOfWeek() % 7]);
}

bool closedAllDay(const ResultTable& openingTimes, int row)
{
    using namespace OpeningTimeColumn;
    for (int column : {Morning, Afternoon, Evening}) {
        if (openingTimes.text(column, row).trimmed() != QLatin1String("00:00"))
            return false;
    }
    return true;
}

// The opening-times row of a week day, or -1.
int weekDayRow(const ResultTable& openingTimes, const QString& name)
{
    for (int row = 2; row < openingTimes.recordCount() + 2; ++row) {
        if (openingTimes.text(OpeningTimeColumn::Week, row) == name)
            return row;
    }
    return -1;
}

int weekDayRow(const ResultTable& openingTimes, const QDate& date)
{
    return weekDayRow(openingTimes, weekName(date));
}

// closedDaysSkipped counts the closed week days passed one after another; a location closed on
// all seven days would otherwise never let the walk end, so it stops after a whole week.
QString adjust(QString due, const ResultTable& closingPeriods, const ResultTable& openingTimes,
               int closedDaysSkipped)
{
    using namespace ClosingPeriodColumn;
    for (int row = 2; row < closingPeriods.recordCount() + 2; ++row) {
        const QString begin = closingPeriods.text(BeginDay, row);
        const QString end = closingPeriods.text(EndDay, row);
        if (!(begin <= due && due <= end))
            continue;
        const QDate endDate = QDate::fromString(end, dateFormat);
        if (!endDate.isValid())
            continue; // a period without a readable end cannot move the date
        // A negative extension is taken as none, so that every move goes forward.
        const int extDays = qMax(0, int(std::lround(closingPeriods.number(ExtDays, row))));
        due = adjust(endDate.addDays(extDays + 1).toString(dateFormat), closingPeriods, openingTimes, 0);
        // The following periods are checked against the new date.
    }

    if (openingTimes.recordCount() == 0)
        return due;
    const QDate date = QDate::fromString(due, dateFormat);
    if (!date.isValid())
        return due;
    // A week day without a row of its own counts as open: the opening times describe the days
    // a location has set hours for, and a day nobody configured must not hold up every loan.
    const int row = weekDayRow(openingTimes, date);
    if (row < 0 || !closedAllDay(openingTimes, row) || closedDaysSkipped >= 7)
        return due;
    return adjust(date.addDays(1).toString(dateFormat), closingPeriods, openingTimes, closedDaysSkipped + 1);
}

} // namespace

ResultTable ClosingPeriods(const QString& location)
{
    return rowsOfLocation(CodeTable::ClosingPeriods, ClosingPeriodColumn::Location, location);
}

ResultTable OpeningTimes(const QString& location)
{
    return rowsOfLocation(CodeTable::OpeningTimes, OpeningTimeColumn::Location, location);
}

bool LIB_ClosedEveryWeekDay(const ResultTable& openingTimes)
{
    for (const char* day : {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"}) {
        const int row = weekDayRow(openingTimes, QLatin1String(day));
        if (row < 0 || !closedAllDay(openingTimes, row))
            return false;
    }
    return true;
}

QString AdjustDueDate(const QString& due, const ResultTable& closingPeriods, const ResultTable& openingTimes)
{
    return adjust(due, closingPeriods, openingTimes, 0);
}

QString LIB_NewLoanDueDate(const CircRule& rule, const QString& serverDateTime, const LoanCalendar& calendar)
{
    const QDate today = QDate::fromString(serverDateTime.left(10), dateFormat);
    if (rule.countsInDays()) {
        const QString due = today.addDays(rule.normTerm).toString(dateFormat);
        return AdjustDueDate(due, calendar.closingPeriods, calendar.openingTimes);
    }
    // Plain clock arithmetic: no time zone may shift the hours.
    const QTime now = QTime::fromString(serverDateTime.mid(10, 8), QStringLiteral("hh:mm:ss"));
    const QDateTime lent(today, now, Qt::UTC);
    return lent.addSecs(qint64(rule.normTerm) * 3600).toString(QStringLiteral("yyyy-MM-ddhh:mm:ss"));
}
