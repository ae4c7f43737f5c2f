#include "bookstatistics.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/statisticssession.h"
#include "statconditions.h"
#include "statengine.h"
#include "stattablemodel.h"

QString BookStatistics::historyTable(bool readerBookMode)
{
    return readerBookMode ? QStringLiteral("redr_book_stat_hist") : QStringLiteral("book_use_stat_hist");
}

QString BookStatistics::periodCondition(const QString& table, const BookStatPeriod& period)
{
    const QString column = table + QStringLiteral(".date_time");
    switch (period.kind) {
    case BookStatPeriod::Date:
        return QStringLiteral("WHERE SUBSTR(") + column + QStringLiteral(", 1, 10) = ") +
               LIB_SQLQuote(period.date);
    case BookStatPeriod::Month:
        return QStringLiteral("WHERE SUBSTR(") + column + QStringLiteral(",1,7)=") +
               LIB_SQLQuote(QString(period.year + QLatin1Char('-') + period.month));
    default:
        return QStringLiteral("WHERE SUBSTR(") + column + QStringLiteral(",1,4)=") +
               LIB_SQLQuote(period.year);
    }
}

QString BookStatistics::locationCondition(const QString& table, const QString& location)
{
    const QString code = location == StatConditions::allLocations() ? QString() : LIB_LocationCode(location);
    return code.isEmpty()
               ? QString()
               : QStringLiteral(" AND ") + table + QStringLiteral(".location_f=") + LIB_SQLQuote(code);
}

QString BookStatistics::classStatement(const BookStatConditions& conditions)
{
    const QString table = historyTable(conditions.readerBookMode);
    return QStringLiteral(" SELECT COUNT(distinct ") + table + QStringLiteral(".marc_rec_no)|| ',' ||") +
           QStringLiteral("        COUNT(") + table + QStringLiteral(".prop_no) ") +
           QStringLiteral(" FROM   ") + table + QLatin1Char(' ') + periodCondition(table, conditions.period) +
           locationCondition(table, conditions.location);
}

QString BookStatistics::totalStatement(const BookStatConditions& conditions)
{
    const QString table = historyTable(conditions.readerBookMode);
    return QStringLiteral(" SELECT count(distinct ") + table +
           QStringLiteral(".marc_rec_no)|| ',' ||COUNT( ") + table + QStringLiteral(".prop_no) ") +
           QStringLiteral(" FROM   ") + table + QLatin1Char(' ') + periodCondition(table, conditions.period) +
           locationCondition(table, conditions.location);
}

int BookStatistics::run(const BookStatConditions& conditions, StatTableModel& grid)
{
    const StatisticsSession source; // the read replica when there is one
    if (PrepareStatLists(conditions.statTypeCode) != 0)
        return -1;
    const StatLists& lists = LIB_StatLists();
    QList<QStringList> rows;
    QStringList rowHeadings;
    for (int i = 0; i < lists.classCount(); ++i) {
        rows.append({lists.name(i), lists.patterns(lists.code(i)), QString(), QString()});
        rowHeadings.append(lists.code(i));
    }
    rows.append({QStringLiteral("总计"), QString(), QString(), QString()});
    grid.setTable({QStringLiteral("显示类名"), QStringLiteral("显示类号"), QStringLiteral("种次"),
                   QStringLiteral("册次")},
                  rows, rowHeadings);
    // A template without classes in use leaves nothing to count (and nothing to ask the server).
    if (lists.classCount() == 0) {
        LIB_ShowMsg(QStringLiteral("ITJ006"));
        return 0;
    }

    QList<QStringList> classes;
    QList<QStringList> overall;
    if (CallCommonSortData(classStatement(conditions), historyTable(conditions.readerBookMode), classes) !=
            0 ||
        CallBulkData(totalStatement(conditions), overall) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    for (int i = 0; i <= lists.classCount(); ++i) {
        const QStringList figures = i < lists.classCount() ? classes.value(i) : overall.value(1);
        grid.setCell(i, 2, LIB_WholeNumber(figures.value(0)));
        grid.setCell(i, 3, LIB_WholeNumber(figures.value(1)));
    }
    return 0;
}
