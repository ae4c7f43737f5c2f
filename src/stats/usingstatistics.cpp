#include "usingstatistics.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/statisticssession.h"
#include "info/bibelements.h"
#include "info/marcreader.h"
#include "statconditions.h"
#include "stattablemodel.h"

#include <QHash>

namespace {

QString locationCode(const UsingStatConditions& c)
{
    return c.location == StatConditions::allLocations() ? QString() : LIB_LocationCode(c.location);
}

// The restriction of the log joined to the items: period and room.
QString logConditions(const UsingStatConditions& c)
{
    const QString t = UsingStatistics::table(c);
    QString sql = QStringLiteral(" where item.prop_no=") + t + QStringLiteral(".prop_no ") +
                  QStringLiteral(" AND ") + c.period.logCondition(UsingStatistics::dateColumn(c));
    const QString code = locationCode(c);
    if (!code.isEmpty())
        sql += QStringLiteral(" AND ") + t + QStringLiteral(".location_f=") + LIB_SQLQuote(code);
    return sql;
}

// The items' location of steps 2 and 4; every location when none is chosen.
QString itemLocation(const UsingStatConditions& c)
{
    const QString code = locationCode(c);
    return code.isEmpty() ? QString() : QStringLiteral(" AND item.location= ") + LIB_SQLQuote(code);
}

} // namespace

QString UsingStatistics::table(const UsingStatConditions& c)
{
    return c.bookCounting ? QStringLiteral("book_use_stat") : QStringLiteral("reader_book_stat");
}

QString UsingStatistics::dateColumn(const UsingStatConditions& c)
{
    return c.bookCounting ? QStringLiteral("book_use_stat.use_date_time")
                          : QStringLiteral("reader_book_stat.date_time");
}

QString UsingStatistics::usesStatement(const UsingStatConditions& c)
{
    return QStringLiteral(" select distinct item.call_no,count(item.prop_no) ") +
           QStringLiteral(" from  item,") + table(c) + logConditions(c) +
           QStringLiteral(" group by item.call_no order by item.call_no desc");
}

QString UsingStatistics::copiesStatement(const UsingStatConditions& c)
{
    return QStringLiteral(" select distinct item.call_no,count(item.prop_no) ") +
           QStringLiteral(" from item ") + QStringLiteral(" where item.call_no in ") +
           QStringLiteral(" (select distinct item.call_no ") + QStringLiteral(" from item,") + table(c) +
           logConditions(c) + QStringLiteral(" ) ") + itemLocation(c) +
           QStringLiteral(" group by item.call_no order by item.call_no desc");
}

QString UsingStatistics::rankStatement(const UsingStatConditions& c)
{
    // One pass over the items: each item's uses in the period beside it, summed per call number;
    // a call number counts when it was used, its copies those at the chosen location.
    const QString t = table(c);
    const QString code = locationCode(c);
    QString events = QStringLiteral("SELECT ") + t + QStringLiteral(".prop_no, count(*) AS uses FROM ") + t +
                     QStringLiteral(" WHERE ") + c.period.logCondition(dateColumn(c));
    if (!code.isEmpty())
        events += QStringLiteral(" AND ") + t + QStringLiteral(".location_f=") + LIB_SQLQuote(code);
    const QString copies = code.isEmpty() ? QStringLiteral("count(*)")
                                          : QStringLiteral("count(*) FILTER (WHERE item.location= ") +
                                                LIB_SQLQuote(code) + QStringLiteral(")");
    return QStringLiteral("WITH used AS (") + events + QStringLiteral(" GROUP BY 1) SELECT item.call_no, ") +
           copies +
           QStringLiteral(", sum(used.uses) FROM item LEFT JOIN used ON used.prop_no = item.prop_no") +
           QStringLiteral(
               " WHERE item.call_no IS NOT NULL GROUP BY item.call_no HAVING count(used.prop_no) > 0 AND ") +
           copies + QStringLiteral(" > 0 ORDER BY sum(used.uses)::numeric / ") + copies +
           QStringLiteral(" DESC, item.call_no DESC LIMIT ") + QString::number(std::max(c.count, 0));
}

int UsingStatistics::run(const UsingStatConditions& c, StatTableModel& grid)
{
    grid.setTable({QStringLiteral("题名"), QStringLiteral("责任者"), QStringLiteral("出版社"),
                   QStringLiteral("索书号"), QStringLiteral("复本数"), QStringLiteral("借阅量"),
                   QStringLiteral("利用率")},
                  {});
    const StatisticsSession source;
    ResultTable ranked;
    // Without JIT compilation: the pass over every item is estimated high enough to trigger it,
    // and compiling takes longer than it saves.
    LIB_DB_BeginTrans();
    if (LIB_DB_Execute(QStringLiteral("SET LOCAL jit = off")) != 0 ||
        LIB_DB_Select(rankStatement(c), ranked) != 0) {
        LIB_DB_ShowError();
        LIB_DB_Rollback();
        return -1;
    }
    if (LIB_DB_CommitTrans() != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    if (ranked.recordCount() == 0) {
        LIB_ShowMsg(QStringLiteral("E检索到0个记录!"));
        return 0;
    }
    // The record of each call number's first item, all call numbers in one statement.
    QStringList quoted;
    for (int row = 2; row < ranked.recordCount() + 2; ++row)
        quoted.append(LIB_SQLQuote(ranked.text(0, row)));
    ResultTable items;
    if (LIB_DB_Select(QStringLiteral("  select distinct item.call_no, ") +
                          QStringLiteral("         item.marc_rec_no ") + QStringLiteral("  from item ") +
                          QStringLiteral(" where item.call_no in (") + quoted.join(QLatin1Char(',')) +
                          QStringLiteral(")") + itemLocation(c) +
                          QStringLiteral(" order by item.call_no, item.marc_rec_no"),
                      items) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    QHash<QString, QString> recordOf;
    for (int row = 2; row < items.recordCount() + 2; ++row)
        if (!recordOf.contains(items.text(0, row)))
            recordOf.insert(items.text(0, row), items.text(1, row));
    QHash<QString, MarcRecord> records;
    if (MarcReader::readMany(recordOf.values(), records) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    QList<QStringList> rows;
    for (int row = 2; row < ranked.recordCount() + 2; ++row) {
        const QString callNo = ranked.text(0, row);
        const qint64 copies = qint64(ranked.value(1, row).toDouble());
        const qint64 uses = qint64(ranked.value(2, row).toDouble());
        const MarcRecord record = records.value(recordOf.value(callNo));
        rows.append({LIB_GetBibElement(record, BibTitle), LIB_GetBibElement(record, BibResponsible),
                     LIB_GetBibElement(record, BibPublisher), callNo, QString::number(copies),
                     QString::number(uses), LIB_Percentage(copies > 0 ? double(uses) / double(copies) : 0)});
    }
    grid.setTable(grid.headings(), rows);
    return 0;
}
