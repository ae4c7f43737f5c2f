#pragma once

#include "db/resulttable.h"
#include "marcrecord.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// One row of a tab's statement as the tab's row maker reads it: the texts of the columns, the
// bibliographic elements of a column's MARC record number, the names of location codes.
class InfoRow
{
public:
    InfoRow(const ResultTable& rows, int row, const QHash<QString, MarcRecord>& records);

    QString operator[](int column) const { return m_rows.text(column, m_row); }
    double number(int column) const { return m_rows.number(column, m_row); }
    QString money(int column) const;
    QString title(int marcColumn) const;  // element 0 of the record, empty without one
    QString author(int marcColumn) const; // element 1
    QString location(int column) const;   // the location's name

private:
    const ResultTable& m_rows;
    int m_row;
    const QHash<QString, MarcRecord>& m_records;
};

// A tab of the reader or item window: its key, caption, column captions and the one statement
// that fills it for a key (a certificate number or a MARC record number, already quoted).
struct InfoTab
{
    QString key;
    QString caption;
    QStringList captions;
    // The statement for the quoted key; `backup` asks the lending-history backup table.
    std::function<QString(const QString& quotedKey, bool backup)> statement;
    int marcColumn = -1; // the statement's MARC record number column, when rows show titles
    std::function<QStringList(const InfoRow& row)> makeRow;
    // Tabs filled otherwise than by one statement (cached tables, the record itself): 0 with the
    // rows, -1 with the error record filled.
    std::function<int(const QString& key, QList<QStringList>& rows)> load;
    bool hasBackup = false; // Insert switches the tab to the backup table
};

namespace InfoTabs {
using Statement = std::function<QString(const QString& quotedKey, bool backup)>;
using RowMaker = std::function<QStringList(const InfoRow& row)>;
using Loader = std::function<int(const QString& key, QList<QStringList>& rows)>;

// A tab filled by one statement, and a tab filled otherwise.
InfoTab queryTab(const QString& key, const QString& caption, const QStringList& captions, Statement statement,
                 int marcColumn, RowMaker makeRow, bool hasBackup = false);
InfoTab loadedTab(const QString& key, const QString& caption, const QStringList& captions, Loader load);

// Runs a tab for an unquoted key: its statement, then the MARC records of its rows in one read.
// 0 with the rows, -1 with the error record filled (the rows are then empty).
int load(const InfoTab& tab, const QString& key, bool backup, QList<QStringList>& rows);
} // namespace InfoTabs
