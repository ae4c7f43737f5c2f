#include "readinglogquery.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"

namespace {

// Per kind: the table and time column that name the conditions and the order.
struct LogTable
{
    const char* table;
    const char* timeColumn;
};

LogTable logTable(ReadingLogKind kind)
{
    switch (kind) {
    case ReadingLogKind::Reader:
        return {"reader_stat", "read_date_time"};
    case ReadingLogKind::Book:
        return {"book_use_stat", "use_date_time"};
    case ReadingLogKind::ReaderBook:
        break;
    }
    return {"reader_book_stat", "date_time"};
}

QString baseStatement(ReadingLogKind kind, const QString& from, const QString& to)
{
    QString sql;
    switch (kind) {
    case ReadingLogKind::Reader:
        sql = QStringLiteral(" SELECT reader_stat.read_date_time,reader.cert_id,reader.name,reader.dept,") +
              QStringLiteral("        reader_stat.location_f,reader_stat.resp_wkr ") +
              QStringLiteral(" FROM   reader_stat,reader ") +
              QStringLiteral(" WHERE  reader_stat.cert_id=reader.cert_id ");
        break;
    case ReadingLogKind::Book:
        sql = QStringLiteral(" SELECT book_use_stat.use_date_time,item.prop_no,item.prop_no,item.prop_no,") +
              QStringLiteral("        item.prop_no,item.bar_code,item.marc_rec_no,item.marc_rec_no,"
                             "item.marc_rec_no,item.price,") +
              QStringLiteral("        item.call_no,book_use_stat.location_f,book_use_stat.resp_wkr ") +
              QStringLiteral(" FROM   book_use_stat,item ") +
              QStringLiteral(" WHERE  book_use_stat.prop_no=item.prop_no ");
        break;
    case ReadingLogKind::ReaderBook:
        sql = QStringLiteral(" SELECT reader_book_stat.date_time,reader.cert_id,reader.name,reader.dept,") +
              QStringLiteral("        item.prop_no,item.bar_code,item.marc_rec_no,item.marc_rec_no,"
                             "item.marc_rec_no,item.price,") +
              QStringLiteral("        item.call_no,reader_book_stat.location_f,reader_book_stat.resp_wkr ") +
              QStringLiteral(" FROM   reader_book_stat,reader,item ") +
              QStringLiteral(" WHERE  reader_book_stat.cert_id=reader.cert_id ") +
              QStringLiteral(" AND    reader_book_stat.prop_no=item.prop_no ");
        break;
    }
    const LogTable log = logTable(kind);
    const QString time = QLatin1String(log.table) + QLatin1Char('.') + QLatin1String(log.timeColumn);
    return sql + QStringLiteral(" AND    ") + time + QStringLiteral(" >= ") + LIB_SQLQuote(from) +
           QStringLiteral(" AND    ") + time + QStringLiteral(" <= ") + LIB_SQLQuote(to);
}

} // namespace

QString readingLogKindText(ReadingLogKind kind)
{
    switch (kind) {
    case ReadingLogKind::Reader:
        return QStringLiteral("读者方式");
    case ReadingLogKind::Book:
        return QStringLiteral("图书方式");
    case ReadingLogKind::ReaderBook:
        break;
    }
    return QStringLiteral("读者图书方式");
}

QString readingLogBound(const QDate& date, const QTime& time)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + time.toString(QStringLiteral("HH:mm:ss"));
}

QString readingLogCodeList(const QStringList& codes)
{
    QStringList quoted;
    for (const QString& code : codes)
        quoted << LIB_SQLQuote(code);
    return quoted.join(QLatin1Char(','));
}

QString readingLogStatement(ReadingLogKind kind, const QString& from, const QString& to,
                            const ReadingLogFilters& filters)
{
    const QString table = QLatin1String(logTable(kind).table);
    QString sql = baseStatement(kind, from, to);
    auto append = [&sql](const QString& condition, const QStringList& codes) {
        const QString list = readingLogCodeList(codes);
        if (!list.isEmpty())
            sql += condition + list + QLatin1Char(')');
    };
    append(QStringLiteral(" AND ") + table + QStringLiteral(".location_f IN ("), filters.locations);
    append(QStringLiteral(" AND ") + table + QStringLiteral(".resp_wkr IN ("), filters.workers);
    if (kind != ReadingLogKind::Book)
        append(QStringLiteral(" AND reader.redr_type_code IN ("), filters.readerTypes);
    return sql + QStringLiteral(" ORDER BY ") + table + QLatin1Char('.') +
           QLatin1String(logTable(kind).timeColumn) + QLatin1Char(' ');
}

int readReadingLogStaff(QList<ReadingLogStaff>& staff)
{
    staff.clear();
    LIB_DB_CurrentStatement() = QStringLiteral(" select wkr_name,") + QStringLiteral("        wkr_no ") +
                                QStringLiteral(" from lib_worker ") + QStringLiteral(" where code1 like  ") +
                                LIB_SQLQuote(QStringLiteral("%4%")) + QStringLiteral(" order by wkr_no ");
    ResultTable rows;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    if (rows.isEmpty()) {
        LIB_ShowMsg(QStringLiteral("ITJ008"));
        return 0;
    }
    for (int row = 2; row < rows.recordCount() + 2; ++row)
        staff.append({rows.text(0, row), rows.text(1, row)});
    return 0;
}
