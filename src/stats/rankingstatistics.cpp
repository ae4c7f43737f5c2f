#include "rankingstatistics.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/statisticssession.h"
#include "statconditions.h"
#include "statengine.h"
#include "statperiod.h"
#include "stattablemodel.h"

#include <algorithm>

namespace {

QString locationCode(const QString& location)
{
    return location == StatConditions::allLocations() ? QString() : LIB_LocationCode(location);
}

// A rate as typed, checked here again so that nothing else ever reaches the statement (the
// window and the report refuse other text before).
QString rateValue(const QString& text)
{
    return LIB_IsDecimal(text) ? text.trimmed() : QStringLiteral("NULL");
}

QString rateCondition(const RankingConditions& c, const QString& table)
{
    static const char* operators[] = {">", "<", "=", ">=", "<="};
    const QString ratio = QStringLiteral(" HAVING count( ") + table +
                          QStringLiteral(".prop_no)/sum(distinct tmp_item.total_count) ");
    if (c.rateTest == RankingConditions::Between)
        return ratio + QStringLiteral(">=") + rateValue(c.rate) + QStringLiteral(" AND count( ") + table +
               QStringLiteral(".prop_no)/sum(distinct tmp_item.total_count) <=") + rateValue(c.rateTo);
    return ratio + QLatin1String(operators[c.rateTest]) + rateValue(c.rate);
}

// A figure of the ranking as the grid shows it: counts whole, the rate with two decimals.
QString figure(const ResultTable& rows, int column, int row, bool rate = false)
{
    const double value = rows.value(column, row).toDouble();
    return rate ? QString::number(value, 'f', 2) : QString::number(qint64(value));
}

} // namespace

QStringList LIB_RateTestNames()
{
    return {QStringLiteral("大于"),     QStringLiteral("小于"),     QStringLiteral("等于"),
            QStringLiteral("大于等于"), QStringLiteral("小于等于"), QStringLiteral("区间")};
}

QString RankingStatistics::historyTable(const RankingConditions& conditions)
{
    return conditions.bookCounting ? QStringLiteral("book_use_stat_hist")
                                   : QStringLiteral("redr_book_stat_hist");
}

QString RankingStatistics::copiesStatement(const RankingConditions& c)
{
    QString sql = QStringLiteral(" SELECT item.marc_rec_no as MARC_REC_NO ,") +
                  QStringLiteral("        item.call_no AS CALL_NO, ") +
                  QStringLiteral("        COUNT(Item.prop_no) As TOTAL_COUNT ") +
                  QStringLiteral(" FROM   marc, item ") +
                  QStringLiteral(" WHERE  marc.marc_rec_no = item.marc_rec_no ");
    if (!c.docTypeCode.isEmpty())
        sql += QStringLiteral(" AND marc.doc_type_code= ") + LIB_SQLQuote(c.docTypeCode);
    if (!c.languageCode.isEmpty())
        sql += QStringLiteral(" AND upper(marc.lang_code)= ") + LIB_SQLQuote(c.languageCode);
    const QString location = locationCode(c.location);
    if (!location.isEmpty())
        sql += QStringLiteral(" AND item.location = ") + LIB_SQLQuote(location);
    return sql +
           QStringLiteral(" GROUP BY item.marc_rec_no,item.call_no ORDER BY item.marc_rec_no,item.call_no");
}

QString RankingStatistics::statement(const RankingConditions& c)
{
    const QString x = historyTable(c);
    QString sql =
        QStringLiteral(" SELECT ") + x + QStringLiteral(".marc_rec_no, ") +
        QStringLiteral("        SUM(distinct tmp_item.total_count),") + QStringLiteral("        COUNT(") + x +
        QStringLiteral(".prop_no), ") + QStringLiteral("        ROUND(COUNT(") + x +
        QStringLiteral(".prop_no)/SUM(distinct tmp_item.total_count),2) ") + QStringLiteral(" FROM   ") + x +
        QStringLiteral(",") + QStringLiteral("(") + copiesStatement(c) + QStringLiteral(") TMP_ITEM ") +
        QStringLiteral(" WHERE  tmp_item.marc_rec_no=") + x + QStringLiteral(".marc_rec_no ") +
        QStringLiteral(" AND    tmp_item.call_no=") + x + QStringLiteral(".call_no ");
    const QString location = locationCode(c.location);
    if (!location.isEmpty())
        sql += QStringLiteral(" AND ") + x + QStringLiteral(".location_f = ") + LIB_SQLQuote(location);
    return sql + c.period.historyCondition(x);
}

QString RankingStatistics::extraCondition(const RankingConditions& c)
{
    const QString x = historyTable(c);
    const bool lendRate = c.window == RankingConditions::LendRate;
    const QString order = lendRate || c.order == RankingConditions::ByRate
                              ? QStringLiteral(" ORDER BY COUNT(") + x +
                                    QStringLiteral(".prop_no)/SUM(distinct tmp_item.total_count) DESC ")
                              : QStringLiteral(" ORDER BY COUNT(") + x + QStringLiteral(".prop_no) DESC ");
    return QStringLiteral(" GROUP BY ") + x + QStringLiteral(".marc_rec_no ") +
           (lendRate ? rateCondition(c, x) : QString()) + order;
}

QString RankingStatistics::readStatement(const RankingConditions& c, int maxRank)
{
    QString sql =
        QStringLiteral(" SELECT marc.marc_rec_no, ") + QStringLiteral("        marc.m_title, ") +
        QStringLiteral("        marc.m_author, ") + QStringLiteral("        marc.m_publisher, ") +
        QStringLiteral("        marc.m_pub_year, ") + QStringLiteral("        marc.m_isbn, ") +
        QStringLiteral("        marc.m_call_no, ") + QStringLiteral("        tj_tmp_rate.itemcount, ") +
        QStringLiteral("        tj_tmp_rate.lendcount,") + QStringLiteral("        tj_tmp_rate.lendrate, ");
    const bool byRank = c.window == RankingConditions::BookTop;
    sql += byRank ? QStringLiteral("        tj_tmp_rate.sub_stat_code, ") +
                        QStringLiteral("        tj_tmp_rate.row_num ")
                  : QStringLiteral("        tj_tmp_rate.sub_stat_code ");
    sql += QStringLiteral(" FROM   marc, tj_tmp_rate") +
           QStringLiteral(" WHERE  marc.marc_rec_no=tj_tmp_rate.marc_rec_no ");
    // Only the ranks the grid can show travel.
    if (maxRank > 0)
        sql += QStringLiteral(" AND tj_tmp_rate.row_num <= ") + QString::number(maxRank);
    return sql +
           (byRank ? QStringLiteral("        ORDER BY tj_tmp_rate.sub_stat_code ,tj_tmp_rate.row_num  ")
                   : QStringLiteral(" ORDER BY tj_tmp_rate.sub_stat_code ASC ,tj_tmp_rate.lendrate DESC "));
}

int RankingStatistics::run(const RankingConditions& c, int maxRank, QList<RankedTitle>& titles)
{
    titles.clear();
    const StatisticsSession source;
    if (PrepareStatLists(c.statTypeCode) != 0)
        return -1;
    ResultTable rows;
    LIB_DB_BeginTrans();
    // The server then ranks only as far as the grid can show (a year reads every title).
    const QString keepRanks =
        QStringLiteral("SET LOCAL tj_sort.group_top = ") + QString::number(std::max(maxRank, 0));
    if (CallGroupData(statement(c), historyTable(c), extraCondition(c)) != 0 ||
        LIB_DB_Execute(keepRanks) != 0 || LIB_DB_SelectMarc(readStatement(c, maxRank), rows) != 0) {
        // The failure first: the rollback would not change the record, but report it as it stands.
        LIB_DB_ShowError();
        LIB_DB_Rollback();
        return -1;
    }
    if (LIB_DB_CommitTrans() != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    const bool byRank = c.window == RankingConditions::BookTop;
    QString lastClass;
    int rank = 0;
    for (int row = 2; row < rows.recordCount() + 2; ++row) {
        RankedTitle t;
        t.marcRecNo = rows.text(0, row);
        t.title = rows.text(1, row);
        t.author = rows.text(2, row);
        t.publisher = rows.text(3, row);
        t.pubYear = rows.text(4, row);
        t.isbn = rows.text(5, row);
        t.callNo = rows.text(6, row);
        t.copies = figure(rows, 7, row);
        t.readings = figure(rows, 8, row);
        t.rate = figure(rows, 9, row, true);
        t.classCode = rows.text(10, row);
        rank = t.classCode == lastClass ? rank + 1 : 1;
        lastClass = t.classCode;
        t.rank = byRank ? int(rows.value(11, row).toDouble()) : rank;
        titles.append(t);
    }
    return 0;
}

void RankingStatistics::fill(const QList<RankedTitle>& titles, int maxRank, StatTableModel& grid)
{
    const StatLists& lists = LIB_StatLists();
    QList<QStringList> rows;
    QString lastClass;
    for (const RankedTitle& t : titles) {
        if (maxRank > 0 && t.rank > maxRank)
            continue;
        QString className;
        if (t.classCode != lastClass) {
            for (int i = 0; i < lists.classCount(); ++i)
                if (lists.code(i) == t.classCode)
                    className = lists.name(i);
            lastClass = t.classCode;
        }
        rows.append(
            {className, t.title, t.author, t.publisher, t.pubYear, t.callNo, t.copies, t.readings, t.rate});
    }
    grid.setTable({QStringLiteral("类名"), QStringLiteral("题名"), QStringLiteral("责任者"),
                   QStringLiteral("出版社"), QStringLiteral("出版年"), QStringLiteral("索书号"),
                   QStringLiteral("复本数"), QStringLiteral("借阅次数"), QStringLiteral("借阅比率")},
                  rows);
}
