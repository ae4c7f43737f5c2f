#include "redrstatistics.h"

#include "codes/codetables.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/statisticssession.h"
#include "statconditions.h"
#include "statengine.h"
#include "stattablemodel.h"

namespace {
const QString history = QStringLiteral("redr_book_stat_hist");
} // namespace

QString RedrStatistics::statement(const StatConditions& conditions, const ResultTable& readerTypes)
{
    QString sql;
    for (int row = 2; row < readerTypes.recordCount() + 2; ++row) {
        sql += (row == 2 ? QStringLiteral(" SELECT SUM(decode(reader.redr_type_code,")
                         : QStringLiteral(" || ',' || SUM(decode(reader.redr_type_code,")) +
               LIB_SQLQuote(readerTypes.text(ReaderTypeColumn::Code, row)) + QStringLiteral(" ,1,0))");
    }
    sql += QStringLiteral(" FROM  redr_book_stat_hist ,reader ") +
           QStringLiteral(" WHERE redr_book_stat_hist.cert_id = reader.cert_id ");
    switch (conditions.periodKind) {
    case StatConditions::Year:
        sql += QStringLiteral(" and  substr(redr_book_stat_hist.date_time,1,4)= ") +
               LIB_SQLQuote(conditions.year);
        break;
    case StatConditions::Month:
        sql += QStringLiteral(" and  substr(redr_book_stat_hist.date_time,1,7)= ") +
               LIB_SQLQuote(QString(conditions.year + QLatin1Char('-') + conditions.month));
        break;
    default:
        sql += QStringLiteral(" and  substr(redr_book_stat_hist.date_time,1,10)>= ") +
               LIB_SQLQuote(conditions.beginDate) +
               QStringLiteral(" and  substr(redr_book_stat_hist.date_time,1,10)<= ") +
               LIB_SQLQuote(conditions.endDate);
    }
    const QString location = conditions.locationCode();
    if (!location.isEmpty())
        sql += QStringLiteral(" AND redr_book_stat_hist.location_f=") + LIB_SQLQuote(location);
    return sql;
}

int RedrStatistics::run(const StatConditions& conditions, StatTableModel& grid)
{
    const StatisticsSession source; // the read replica when there is one
    if (PrepareStatLists(conditions.statTypeCode) != 0)
        return -1;
    const StatLists& lists = LIB_StatLists();
    const ResultTable& readerTypes = LIB_CodeTable(CodeTable::ReaderTypes);
    const int n = lists.classCount();
    const int types = readerTypes.recordCount();

    QStringList headings{QStringLiteral("显示类名"), QStringLiteral("显示类号")};
    for (int row = 2; row < types + 2; ++row)
        headings.append(readerTypes.text(ReaderTypeColumn::Name, row));
    headings << QStringLiteral("分类小计") << QStringLiteral("借阅比例");
    QList<QStringList> rows;
    QStringList rowHeadings;
    for (int i = 0; i < n; ++i) {
        rows.append({lists.name(i), lists.patterns(lists.code(i))});
        rowHeadings.append(lists.code(i));
    }
    rows.append({QStringLiteral("借阅小计")});
    rows.append({QStringLiteral("借阅比例")});
    for (QStringList& row : rows)
        while (row.size() < headings.size())
            row.append(QString());
    grid.setTable(headings, rows, rowHeadings);
    // Without classes or reader types there is nothing to count (and nothing to ask the server).
    if (n == 0 || types == 0) {
        LIB_ShowMsg(QStringLiteral("ITJ006"));
        return 0;
    }

    const QString sql = statement(conditions, readerTypes);
    QList<QStringList> classes;
    QList<QStringList> overall;
    if (CallCommonSortData(sql, history, classes) != 0 || CallBulkData(sql, overall) != 0) {
        LIB_DB_ShowError();
        return -1;
    }

    // Counts, subtotals; the overall row is the statement's own row, not the sum of the classes.
    auto fillCounts = [&](int row, const QStringList& figures) {
        qint64 subtotal = 0;
        for (int j = 0; j < types; ++j) {
            const QString count = LIB_WholeNumber(figures.value(j));
            subtotal += count.toLongLong();
            grid.setCell(row, 2 + j, count);
        }
        grid.setCell(row, types + 2, QString::number(subtotal));
        return subtotal;
    };
    QList<qint64> subtotals;
    for (int i = 0; i < n; ++i)
        subtotals.append(fillCounts(i, classes.value(i)));
    const QStringList totals = overall.value(1);
    const qint64 grandTotal = fillCounts(n, totals);

    if (grandTotal == 0) {
        LIB_ShowMsg(QStringLiteral("ITJ006"));
        return 0;
    }
    for (int i = 0; i < n; ++i)
        grid.setCell(i, types + 3, LIB_Percentage(double(subtotals.at(i)) / double(grandTotal)));
    for (int j = 0; j < types; ++j)
        grid.setCell(n + 1, 2 + j,
                     LIB_Percentage(LIB_WholeNumber(totals.value(j)).toDouble() / double(grandTotal)));
    grid.setCell(n, types + 3, QStringLiteral("-"));
    grid.setCell(n + 1, types + 2, QStringLiteral("-"));
    grid.setCell(n + 1, types + 3, QStringLiteral("-"));
    return 0;
}
