#include "marcreader.h"

#include "db/database.h"
#include "db/dumpdecoder.h"
#include "db/logfile.h"

#include <QSet>

namespace {

constexpr int dumpedChunks = 12;
constexpr int numbersPerStatement = 500; // keeps IN lists well inside what servers accept

// The four 500-character chunks of each text column in dump notation, so that the long text
// arrives whatever the column width. orafce's dump() refuses NULL (where Oracle's says "NULL"),
// so a missing piece is dumped as an empty text.
QString dumpedColumns(const QString& table)
{
    QStringList items;
    for (const char* column : {"marc01", "marc02", "marc03"}) {
        const QString name = table + QLatin1String(column);
        items << QStringLiteral("dump(coalesce(substr(%1,1,500),''),16)").arg(name)
              << QStringLiteral("dump(coalesce(substr(%1,501,500),''),16)").arg(name)
              << QStringLiteral("dump(coalesce(substr(%1,1001,500),''),16)").arg(name)
              << QStringLiteral("dump(coalesce(substr(%1,1501),''),16)").arg(name);
    }
    return items.join(QLatin1Char(','));
}

// A record whose leader and directory agree with no byte count is read as empty and written to
// the log, so that someone puts it right.
void reportProblem(const QString& marcRecNo, const MarcRecord& record)
{
    if (!record.problem().isEmpty())
        LIB_WriteLogFile(QStringLiteral("MARC记录[%1]：%2").arg(marcRecNo, record.problem()));
}

MarcRecord recordFromRows(const ResultTable& rows, int firstRow, int endRow, int firstDataColumn)
{
    if (LIB_DB_SchemaFlags().longMarc)
        return MarcRecord::fromIso2709(MarcReader::decodedText(rows, firstRow, endRow, firstDataColumn),
                                       true);
    return MarcRecord::fromIso2709(MarcReader::plainText(rows, firstRow, endRow));
}

// The header columns right-trimmed, as every other text of a result table (the pieces beside
// them are read as stored).
MarcHeader headerAt(const ResultTable& rows, int row, int firstColumn)
{
    auto text = [&](int offset) {
        QString value = rows.text(firstColumn + offset, row);
        while (value.endsWith(QLatin1Char(' ')))
            value.chop(1);
        return value;
    };
    return {text(0), text(1), text(2), text(3), text(4), text(5), text(6)};
}

int readBatch(const QStringList& numbers, QHash<QString, MarcRecord>& records)
{
    const bool longMarc = LIB_DB_SchemaFlags().longMarc;
    QStringList quoted;
    for (const QString& number : numbers)
        quoted << LIB_SQLQuote(number);
    LIB_DB_CurrentStatement() =
        QStringLiteral(" SELECT marc.marc_rec_no, marc.marc_type, marc.doc_type_code, marc.lang_code, "
                       "marc.country_code, marc.marc_use_flag, marc.cata_oper, marc.cata_date, ") +
        (longMarc ? dumpedColumns(QStringLiteral("marc_data."))
                  : QStringLiteral("marc_data.marc01, marc_data.marc02, marc_data.marc03")) +
        QStringLiteral(" FROM marc LEFT JOIN marc_data ON marc_data.marc_rec_no = marc.marc_rec_no"
                       " WHERE marc.marc_rec_no IN (") +
        quoted.join(QLatin1Char(',')) + QStringLiteral(") ORDER BY marc.marc_rec_no, marc_data.data_serial");
    ResultTable rows;
    if (LIB_DB_SelectStored(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    const int end = rows.recordCount() + 2;
    for (int first = 2; first < end;) {
        const QString number = rows.text(0, first);
        int next = first + 1;
        while (next < end && rows.text(0, next) == number)
            ++next;
        MarcRecord record = recordFromRows(rows, first, next, 8);
        record.setHeader(headerAt(rows, first, 1));
        reportProblem(number, record);
        records.insert(number, record);
        first = next;
    }
    return 0;
}

} // namespace

int MarcReader::read(const QString& marcRecNo, MarcRecord& record)
{
    record = MarcRecord();
    ResultTable header;
    LIB_DB_CurrentStatement() =
        QStringLiteral(" SELECT marc_type, doc_type_code, lang_code, country_code, "
                       "marc_use_flag, cata_oper, cata_date  FROM marc WHERE marc_rec_no=") +
        LIB_SQLQuote(marcRecNo);
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), header) != 0)
        return -1;
    if (header.recordCount() == 0)
        return 0;

    const bool longMarc = LIB_DB_SchemaFlags().longMarc;
    LIB_DB_CurrentStatement() =
        (longMarc ? QStringLiteral("SELECT ") + dumpedColumns(QString()) : QStringLiteral(" SELECT *")) +
        QStringLiteral(" FROM marc_data WHERE marc_rec_no=") + LIB_SQLQuote(marcRecNo) +
        QStringLiteral(" ORDER BY data_serial");
    ResultTable data;
    if (LIB_DB_SelectStored(LIB_DB_CurrentStatement(), data) != 0)
        return -1;
    record = recordFromRows(data, 2, data.recordCount() + 2, 0);
    record.setHeader(headerAt(header, 2, 0));
    reportProblem(marcRecNo, record);
    return 0;
}

int MarcReader::readMany(const QStringList& marcRecNos, QHash<QString, MarcRecord>& records)
{
    records.clear();
    QStringList numbers;
    QSet<QString> seen;
    for (const QString& number : marcRecNos) {
        if (!number.isEmpty() && !seen.contains(number)) {
            seen.insert(number);
            numbers.append(number);
        }
    }
    for (qsizetype from = 0; from < numbers.size(); from += numbersPerStatement) {
        if (readBatch(numbers.mid(from, numbersPerStatement), records) != 0) {
            records.clear();
            return -1;
        }
    }
    return 0;
}

QByteArray MarcReader::plainText(const ResultTable& rows, int firstRow, int endRow)
{
    const int columns[] = {rows.columnIndex(QStringLiteral("marc01")),
                           rows.columnIndex(QStringLiteral("marc02")),
                           rows.columnIndex(QStringLiteral("marc03"))};
    QByteArray text;
    for (int r = firstRow; r < endRow; ++r) {
        for (const int c : columns) {
            if (c >= 0)
                text += rows.text(c, r).toUtf8();
        }
    }
    return text;
}

QByteArray MarcReader::decodedText(const ResultTable& rows, int firstRow, int endRow, int firstColumn)
{
    QString text;
    for (int r = firstRow; r < endRow; ++r) {
        for (int c = firstColumn; c < firstColumn + dumpedChunks; ++c) {
            const QString value = rows.text(c, r);
            const bool dumped = value.startsWith(QLatin1String("Typ=")) || value == QLatin1String("NULL");
            text += dumped ? LIB_DecodeDump(value) : value;
        }
    }
    if (!text.endsWith(QChar(MarcRecord::RecordTerminator)))
        text += QChar(MarcRecord::RecordTerminator);
    return text.toUtf8();
}
