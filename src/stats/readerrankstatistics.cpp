#include "readerrankstatistics.h"

#include "codes/codenames.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/statisticssession.h"
#include "statconditions.h"
#include "stattablemodel.h"

#include <QHash>

namespace {

QString locationCondition(const ReaderRankConditions& c)
{
    const QString code =
        c.location == StatConditions::allLocations() ? QString() : LIB_LocationCode(c.location);
    return code.isEmpty() ? QString()
                          : QStringLiteral(" AND ") + ReaderRankStatistics::table(c) +
                                QStringLiteral(".LOCATION_F = ") + LIB_SQLQuote(code);
}

} // namespace

QString ReaderRankStatistics::table(const ReaderRankConditions& c)
{
    return c.checkIn ? QStringLiteral("reader_stat") : QStringLiteral("reader_book_stat");
}

QString ReaderRankStatistics::dateColumn(const ReaderRankConditions& c)
{
    return c.checkIn ? QStringLiteral("reader_stat.read_date_time")
                     : QStringLiteral("reader_book_stat.date_time");
}

QString ReaderRankStatistics::countStatement(const ReaderRankConditions& c)
{
    return QStringLiteral(" SELECT distinct CERT_ID, count(CERT_ID) ") + QStringLiteral(" FROM ") + table(c) +
           QStringLiteral(" WHERE ") + c.period.logCondition(dateColumn(c)) + locationCondition(c) +
           QStringLiteral(" group by  CERT_ID ") + QStringLiteral(" order by  count(CERT_ID) DESC ");
}

QString ReaderRankStatistics::readerStatement(const ReaderRankConditions& c, const QStringList& cards)
{
    QStringList quoted;
    for (const QString& card : cards)
        quoted.append(LIB_SQLQuote(card));
    return QStringLiteral("  SELECT distinct reader.cert_id,") + QStringLiteral("         reader.name,") +
           QStringLiteral("         reader.dept,") + QStringLiteral("         reader.redr_type_code,") +
           QStringLiteral("         reader.lend_grd ") + QStringLiteral("  FROM   reader,") + table(c) +
           QStringLiteral("  WHERE  reader.cert_id=") + table(c) + QStringLiteral(".cert_id") +
           QStringLiteral(" and ") + c.period.logCondition(dateColumn(c)) + locationCondition(c) +
           QStringLiteral(" and reader.cert_id in (") + quoted.join(QLatin1Char(',')) + QLatin1Char(')');
}

int ReaderRankStatistics::run(const ReaderRankConditions& c, StatTableModel& grid)
{
    grid.setTable({QStringLiteral("到达次数"), QStringLiteral("有效证件号"), QStringLiteral("读者姓名"),
                   QStringLiteral("读者单位"), QStringLiteral("读者类型"), QStringLiteral("读者等级")},
                  {});
    const StatisticsSession source;
    // The first count rows of the ranking; readers with as many visits follow their card number.
    ResultTable counts;
    if (LIB_DB_Select(QStringLiteral("SELECT r.c, r.n FROM (") + countStatement(c) +
                          QStringLiteral(") r(c, n) ORDER BY r.n DESC, r.c LIMIT ") +
                          QString::number(std::max(c.count, 0)),
                      counts) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    if (counts.recordCount() == 0) {
        LIB_ShowMsg(QStringLiteral("E无所查读者记录!"));
        return 0;
    }
    QStringList cards;
    for (int row = 2; row < counts.recordCount() + 2; ++row)
        cards.append(counts.text(0, row));
    ResultTable readers;
    if (LIB_DB_Select(readerStatement(c, cards), readers) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    if (readers.recordCount() == 0) {
        LIB_ShowMsg(QStringLiteral("E无所查读者记录!"));
        return 0;
    }
    QHash<QString, int> readerRow;
    for (int row = 2; row < readers.recordCount() + 2; ++row)
        readerRow.insert(readers.text(0, row), row);
    QList<QStringList> rows;
    for (int row = 2; row < counts.recordCount() + 2; ++row) {
        const QString card = counts.text(0, row);
        const int r = readerRow.value(card, -1);
        auto field = [&readers, r](int column) { return r < 0 ? QString() : readers.text(column, r); };
        rows.append({LIB_WholeNumber(counts.text(1, row)), card, field(1), field(2),
                     LIB_ReaderTypeName(field(3)), LIB_LendGradeName(field(4))});
    }
    grid.setTable(grid.headings(), rows);
    return 0;
}
