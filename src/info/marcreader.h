#pragma once

#include "db/resulttable.h"
#include "marcrecord.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Reads MARC records from the database: the header row from marc, the text from the marc_data
// rows in data_serial order, every piece as stored (a piece may end in a blank). With the
// long-MARC flag the text columns arrive in the server's dump notation and are decoded. A record
// whose directory agrees with no byte count (MarcRecord::problem) is written to the log. Like every database
// routine these return 0, or -1 with the error record filled (the caller reports with LIB_DB_ShowError); the
// record is then empty.
class MarcReader
{
public:
    // One record. A number without a header row gives an empty record and 0.
    static int read(const QString& marcRecNo, MarcRecord& record);

    // The records of many numbers in one statement (more only for very long lists), for lists
    // that show a title per row. Numbers without a record are left out of the result; empty and
    // repeated numbers are passed over.
    static int readMany(const QStringList& marcRecNos, QHash<QString, MarcRecord>& records);

    // The record text of data rows [firstRow, endRow) of a result: the columns marc01, marc02,
    // marc03 of each row joined in order.
    static QByteArray plainText(const ResultTable& rows, int firstRow, int endRow);
    // The same for the twelve dumped chunks of each row (from column firstColumn on), decoded;
    // a record terminator is added when the text does not end with one.
    static QByteArray decodedText(const ResultTable& rows, int firstRow, int endRow, int firstColumn);
};
