#pragma once

// The desk window's result grids and its two label/value panels. A result grid is a table view
// over a DeskGridModel: a narrow first column holds the row number, rows are appended at the
// bottom and the newest row is scrolled into view.

#include <QAbstractTableModel>
#include <QFont>
#include <QList>
#include <QStringList>

class QTableView;
class QTableWidget;
class QWidget;

class DeskGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // `captions` are the columns after the row number.
    explicit DeskGridModel(const QStringList& captions, QObject* parent = nullptr);

    void clear();
    // Appends one row; `cells` are the texts after the row number, which the model counts.
    void appendRow(const QStringList& cells);
    // Replaces every row; each row brings its own number in front (rows listed by an operation).
    void setNumberedRows(const QList<QStringList>& rows);
    QStringList rowCells(int row) const; // with the row number in front

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_captions;
    QList<QStringList> m_rows;
};

namespace DeskGrid {
// A read-only row-selecting table view named `name` over `model`, with the fixed number column.
QTableView* makeView(const char* name, QAbstractItemModel* model, QWidget* parent);
// Scrolls the view so that its last row is visible.
void showNewest(QTableView* view);

// A label/value panel: one line per label, the value beside it.
QTableWidget* makePanel(const char* name, const QStringList& labels, QWidget* parent);
void setPanelValues(QTableWidget* panel, const QStringList& values); // missing values are empty
QStringList panelValues(const QTableWidget* panel);
} // namespace DeskGrid
