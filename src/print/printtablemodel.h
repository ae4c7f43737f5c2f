#pragma once

#include "printcolumn.h"
#include "printhandover.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QStringList>

class PrintHandover;

// The designer's table: a model over the rows of the print hand-over (shared, not copied), with
// the operator's arrangement on top: the columns (order, titles, widths, formats, hidden ones,
// added ones) and the order of the rows. Hidden columns stay in the model so that templates keep
// them; views hide them and print and export skip them.
class PrintTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PrintTableModel(QObject* parent = nullptr);

    // Takes the hand-over's table: one column per print-table column, the hand-over's hidden
    // columns hidden, rows in their order.
    void load(const PrintHandover& handover);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The cells of a column the operator added by hand ("自定义列") are typed in the grid.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    QString cell(int row, int column) const;             // data row from 0, as shown
    QString sourceCell(int sourceRow, int column) const; // row of the print table, whatever the order
    // The data tag of a shown row: the MARC record number of the row's item when the caller named
    // the column that holds it (PrintHandover::setMarcColumn), else empty.
    QString rowTag(int row) const;
    // The reader of the rows' MARC records the caller handed over (empty: no MARC columns).
    const PrintHandover::MarcFieldReader& marcReader() const { return m_marcReader; }
    int sourceRow(int row) const { return m_order.at(row); }  // print-table row of a shown row
    int sourceRowCount() const { return int(m_rows.size()); } // print-table rows, headings included

    const QList<PrintColumn>& columns() const { return m_columns; }
    const PrintColumn& column(int column) const { return m_columns.at(column); }
    // Replaces the arrangement of the columns (a template, the output items).
    void setColumns(const QList<PrintColumn>& columns);
    // Changes one column's format; `change` edits it in place.
    template <typename Change> void changeColumn(int column, Change change)
    {
        change(m_columns[column]);
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
    }
    // Columns the caller hid stay hidden whatever the operator or a template asks.
    void setColumnHidden(int column, bool hidden);
    bool isHiddenByCaller(int column) const;
    bool isColumnHidden(int column) const { return m_columns.at(column).hidden; }
    QList<int> visibleColumns() const;
    // Appends an added column (its values indexed by print-table row); returns its index.
    int appendColumn(const PrintColumn& column);
    // Columns as they start from the hand-over (source c at place c).
    QList<PrintColumn> originalColumns() const;

    // Sorts the rows by a column (texts compared in Chinese order, numbers by value); stable.
    void sortByColumn(int column, Qt::SortOrder order);
    // Sorts by every column with a sort choice, the leftmost first.
    void applySortChoices();
    // Runs of equal adjacent texts of a column: (first row, row count) for every run of two or more.
    QList<QPair<int, int>> equalRuns(int column) const;

private:
    QList<QStringList> m_rows; // the print table, row 0 the headings
    QList<int> m_order;        // shown row -> print-table row
    QList<PrintColumn> m_columns;
    int m_marcColumn = -1;
    PrintHandover::MarcFieldReader m_marcReader;
    QSet<int> m_callerHidden; // print-table columns the hand-over hides
};
