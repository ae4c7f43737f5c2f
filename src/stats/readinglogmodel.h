#pragma once

#include "readinglogquery.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <array>

// One grid row of the reading log, and the MARC record number its titles came from (empty for
// the reader log).
struct ReadingLogRow
{
    std::array<QString, 13> cells;
    QString marcRecNo;
};
Q_DECLARE_TYPEINFO(ReadingLogRow, Q_RELOCATABLE_TYPE); // a list of 100,000 grows by moving bytes
using ReadingLogRows = QList<ReadingLogRow>;

// The log query's grid, spdReadLog: thirteen read-only text columns; which of them a kind shows
// is columnShown's answer.
class ReadingLogModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        ArrivalTime,
        CertId,
        Name,
        Dept,
        PropNo,
        Barcode,
        Title,
        Author,
        Publisher,
        Price,
        CallNo,
        Location,
        Worker,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    static QStringList headings();
    // Columns 1, 12 and 13 always; the reader's columns for the reader logs, the item's for the
    // book logs.
    static bool columnShown(ReadingLogKind kind, int column);

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces the rows in one step (the view redraws once).
    void setRows(ReadingLogRows rows);
    void clear() { setRows({}); }
    const ReadingLogRows& rows() const { return m_rows; }

private:
    ReadingLogRows m_rows;
};
