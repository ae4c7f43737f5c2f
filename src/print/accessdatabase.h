#pragma once

#include "exportcolumns.h"

#include <QString>
#include <QStringList>

class QAbstractItemModel;

// The desktop database file the "Access" exports write: an SQLite database. Every routine opens
// the file, does its work and closes it again; 0 on success, -1 with the reason in error().
class AccessDatabase
{
public:
    explicit AccessDatabase(const QString& path) : m_path(path) {}

    // Makes a new, empty database file (the file must not exist yet).
    int create();
    // The user tables of the file, by name; the engine's own tables and views are not listed.
    int listTables(QStringList& tables);
    // A table with one text field per export column, named by the column's heading.
    int createTable(const QString& table, const QList<ExportColumn>& columns);
    // Inserts the model's rows from `firstRow` on into a table whose fields carry the headings:
    // per row only the fields of non-empty cells are named, with the cell texts as text values
    // (12.50 stays the text 12.50); a row without any text adds nothing. All rows go in one
    // transaction; when `progress` stops the write, or a row fails, the rows written so far stay.
    // Returns the number of records added, or -1.
    int insertRows(const QString& table, const QAbstractItemModel& model, const QList<ExportColumn>& columns,
                   int firstRow = 0, const ExportProgress& progress = {});

    QString error() const { return m_error; }

    // An identifier as the engine reads it: in double quotes, inner quotes doubled.
    static QString quoteName(const QString& name);

private:
    QString m_path;
    QString m_error;
};
