#pragma once

// The result grid of a statistics window: column headings, row headings and cells of text. The
// windows show it, the print hand-over and the report files take it as it stands.

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class StatTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the whole grid: rowHeadings may be empty (rows are then numbered).
    void setTable(const QStringList& headings, const QList<QStringList>& rows,
                  const QStringList& rowHeadings = {});
    void setCell(int row, int column, const QString& text);
    // Sorts the rows by a column (figures by value, "12.5%" included, other texts by text; rows
    // that compare equal keep their order) and marks its heading "▲" ascending or "▼" descending.
    void sortRows(int column, Qt::SortOrder order);
    QString cell(int row, int column) const { return m_rows.value(row).value(column); }
    const QList<QStringList>& rows() const { return m_rows; }
    const QStringList& headings() const { return m_headings; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headings;
    QStringList m_rowHeadings;
    QList<QStringList> m_rows;
};

// A count as the grids show it: the whole number of a figure, 0 for an empty one.
QString LIB_WholeNumber(const QString& figure);
// A share as the grids show it: "12.34%".
QString LIB_Percentage(double share);
