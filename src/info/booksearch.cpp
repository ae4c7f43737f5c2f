#include "booksearch.h"

#include "db/database.h"

const QString BookSearch::noRestriction = QStringLiteral("<不定>");
const QString BookSearch::callNoPath = QStringLiteral("91");
const QString BookSearch::propNoPath = QStringLiteral("92");
const QString BookSearch::barcodePath = QStringLiteral("93");

namespace {

QString operatorText(BookSearch::Operator op)
{
    return op == BookSearch::Exact ? QStringLiteral(" = ") : QStringLiteral(" Like ");
}

QString unistrText(const QString& text)
{
    QString escaped;
    for (const QChar unit : text)
        escaped += QStringLiteral("\\%1").arg(unit.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return escaped;
}

} // namespace

const QStringList& BookSearch::operatorCaptions()
{
    static const QStringList captions{QStringLiteral("前方匹配"), QStringLiteral("任意匹配"),
                                      QStringLiteral("完全匹配")};
    return captions;
}

QString BookSearch::pattern(const Condition& condition)
{
    const QString value = condition.isIndexRow() ? condition.value.toUpper() : condition.value;
    switch (condition.op) {
    case Prefix:
        return value + QLatin1Char('%');
    case Anywhere:
        return QLatin1Char('%') + value + QLatin1Char('%');
    case Exact:
        break;
    }
    return value;
}

QString BookSearch::quotedIndexPattern(const QString& pattern, bool longMarc)
{
    return longMarc ? QStringLiteral("unistr(") + LIB_SQLQuote(unistrText(pattern)) + QLatin1Char(')')
                    : LIB_SQLQuote(pattern);
}

QString BookSearch::singleStatement(const Condition& condition, bool longMarc)
{
    if (!condition.isSet())
        return {};
    const QString quoted = LIB_SQLQuote(pattern(condition));
    if (condition.path == callNoPath)
        return QStringLiteral("SELECT distinct marc_rec_no FROM call_no_lst WHERE call_no LIKE ") + quoted;
    if (condition.path == propNoPath)
        return QStringLiteral("SELECT distinct marc_rec_no FROM indi_acct WHERE prop_no LIKE ") + quoted;
    if (condition.path == barcodePath)
        return QStringLiteral("SELECT distinct marc_rec_no FROM indi_acct WHERE bar_code LIKE ") + quoted;
    return QStringLiteral("SELECT distinct marc_rec_no FROM marc_idx WHERE marc_idx_grp = ") +
           LIB_SQLQuote(condition.path) + QStringLiteral(" AND  marc_idx_cont LIKE ") +
           quotedIndexPattern(pattern(condition), longMarc);
}

// Each row with a value adds its table to the FROM list and its condition; index rows are
// chained to one another, and the item and call-number tables are joined to the first index
// row. Two searches the row order alone would leave unjoined are joined here as well:
//  - index rows that do not begin at row 0 join the other tables to the first index row present
//    (not to an alias idx0 that the FROM list lacks);
//  - item rows (property number, barcode) together with call-number rows but no index row read
//    from indi_acct and call_no_lst joined on the MARC record number.
QString BookSearch::combinedStatement(const QList<Condition>& rows, bool longMarc, QString* refusal)
{
    QString from = QStringLiteral(" FROM ");
    QString where;
    QList<int> indexRows;
    bool itemRows = false;
    bool callNoRows = false;
    for (int row = 0; row < rows.size(); ++row) {
        const Condition& c = rows.at(row);
        if (!c.isSet())
            continue;
        const QString op = operatorText(c.op);
        const QString alias = QStringLiteral("idx") + QString::number(row);
        if (c.isIndexRow()) {
            indexRows.append(row);
            from += QStringLiteral(" marc_idx ") + alias + QLatin1Char(',');
            where += QLatin1Char('(') + alias + QStringLiteral(".marc_idx_grp = ") + LIB_SQLQuote(c.path) +
                     QStringLiteral(" AND  ") + alias + QStringLiteral(".marc_idx_cont") + op;
            if (longMarc)
                where += QStringLiteral("unistr(") + LIB_SQLQuote(unistrText(pattern(c))) +
                         QStringLiteral(")) AND ");
            else
                where += LIB_SQLQuote(pattern(c)) + QStringLiteral(") AND ");
        } else if (c.path == callNoPath) {
            callNoRows = true;
            where += QStringLiteral("call_no_lst.call_no") + op + LIB_SQLQuote(pattern(c)) +
                     QStringLiteral(" And ");
        } else {
            itemRows = true;
            where += (c.path == propNoPath ? QStringLiteral("indi_acct.prop_no")
                                           : QStringLiteral("indi_acct.bar_code")) +
                     op + LIB_SQLQuote(pattern(c)) + QStringLiteral(" AND ");
        }
    }
    if (where.isEmpty()) {
        *refusal = QStringLiteral("EBM003");
        return {};
    }

    QString select;
    if (!indexRows.isEmpty()) {
        const QString first = QStringLiteral("idx") + QString::number(indexRows.first());
        select = QStringLiteral(" SELECT DISTINCT idx") + QString::number(indexRows.last()) +
                 QStringLiteral(".marc_rec_no");
        if (itemRows) {
            from += QStringLiteral(" indi_acct,");
            where +=
                QStringLiteral(" indi_acct.marc_rec_no = ") + first + QStringLiteral(".marc_rec_no AND ");
        }
        if (callNoRows) {
            from += QStringLiteral(" call_no_lst,");
            where +=
                QStringLiteral(" call_no_lst.marc_rec_no = ") + first + QStringLiteral(".marc_rec_no AND ");
        }
        for (int i = 0; i + 1 < indexRows.size(); ++i)
            where += QStringLiteral("idx%1.marc_rec_no = idx%2.marc_rec_no AND ")
                         .arg(indexRows.at(i))
                         .arg(indexRows.at(i + 1));
    } else if (itemRows && callNoRows) {
        select = QStringLiteral(" SELECT DISTINCT indi_acct.marc_rec_no");
        from += QStringLiteral("indi_acct, call_no_lst ");
        where += QStringLiteral(" call_no_lst.marc_rec_no = indi_acct.marc_rec_no AND ");
    } else if (itemRows) {
        select = QStringLiteral(" SELECT DISTINCT indi_acct.marc_rec_no");
        from += QStringLiteral("indi_acct ");
    } else {
        select = QStringLiteral(" SELECT DISTINCT call_no_lst.marc_rec_no");
        from += QStringLiteral("call_no_lst ");
    }
    from.chop(1);
    where.chop(4);
    return select + from + QStringLiteral(" WHERE ") + where;
}

QString BookSearch::itemStatement(const QString& propNo)
{
    return QStringLiteral("SELECT marc_rec_no FROM item WHERE prop_no=") + LIB_SQLQuote(propNo);
}

QString BookSearch::itemBarcodeStatement(const QString& barcode)
{
    return QStringLiteral("SELECT marc_rec_no FROM item WHERE bar_code=") + LIB_SQLQuote(barcode);
}

int BookSearch::find(const QString& statement, QStringList& marcRecNos)
{
    marcRecNos.clear();
    LIB_DB_CurrentStatement() = statement;
    ResultTable rows;
    if (LIB_DB_Select(statement, rows) != 0)
        return -1;
    marcRecNos.reserve(rows.recordCount());
    for (int r = 2; r < rows.recordCount() + 2; ++r)
        marcRecNos.append(rows.text(0, r));
    return 0;
}
