#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <functional>

class QAbstractItemModel;

// What the export routines need of a grid: its model, the columns it hides, and the progress of a
// long write (called with the rows done; returning false stops the write).
struct ExportColumn
{
    QString heading; // the column's title; the field name in a database table
    int index = 0;   // the model column
};

using ExportProgress = std::function<bool(int rowsDone)>;

// At most this many columns go into a database table.
constexpr int MaxExportColumns = 51;

// The visible columns of a model in their order, titled by the model's horizontal headings.
QList<ExportColumn> LIB_ExportColumns(const QAbstractItemModel& model, const QSet<int>& hidden);
