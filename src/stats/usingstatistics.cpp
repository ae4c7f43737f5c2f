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
    return QStringLiteral("WITH uses(call_no, uses) AS (") + usesStatement(c) +
           QStringLiteral(") SELECT c.call_no, c.copies, coalesce(u.uses, 0) FROM (") +
           QStringLiteral(" select distinct item.call_no,count(item.prop_no) ") +
           QStringLiteral(" from item ") +
           QStringLiteral(" where item.call_no in (SELECT call_no FROM uses) ") + itemLocation(c) +
           QStringLiteral(
               " group by item.call_no) c(call_no, copies) LEFT JOIN uses u ON u.call_no = c.call_no") +
           QStringLiteral(" ORDER BY coalesce(u.uses, 0)::numeric / c.copies DESC, c.call_no DESC LIMIT ") +
           QString::number(std::max(c.count, 0));
}

int UsingStatistics::run(const UsingStatConditions& c, StatTableModel& grid)
{
    grid.setTable({QStringLiteral("题名"), QStringLiteral("责任者"), QStringLiteral("出版社"),
                   QStringLiteral("索书号"), QStringLiteral("复本数"), QStringLiteral("借阅量"),
                   QStringLiteral("利用率")},
                  {});
    const StatisticsSession source;
    ResultTable ranked;
    if (LIB_DB_Select(rankStatement(c), ranked) != 0) {
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
