#include "mainwindowgrid.h"

#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>

namespace {
constexpr int numberColumnWidth = 40;
}

DeskGridModel::DeskGridModel(const QStringList& captions, QObject* parent)
    : QAbstractTableModel(parent), m_captions(captions)
{
}

void DeskGridModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void DeskGridModel::appendRow(const QStringList& cells)
{
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(QStringList{QString::number(row + 1)} + cells);
    endInsertRows();
}

void DeskGridModel::setNumberedRows(const QList<QStringList>& rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

QStringList DeskGridModel::rowCells(int row) const
{
    return m_rows.value(row);
}

int DeskGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DeskGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size()) + 1;
}

QVariant DeskGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_rows.at(index.row()).value(index.column());
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return int(Qt::AlignCenter);
    return {};
}

QVariant DeskGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QString() : m_captions.value(section - 1);
}

QTableView* DeskGrid::makeView(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setFocusPolicy(Qt::ClickFocus);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    // Wide enough for an 18-character event time or a short title; the operator can drag the rest.
    view->horizontalHeader()->setDefaultSectionSize(view->fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                                    20);
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    view->horizontalHeader()->resizeSection(0, numberColumnWidth);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

void DeskGrid::showNewest(QTableView* view)
{
    const int last = view->model()->rowCount() - 1;
    if (last >= 0)
        view->scrollTo(view->model()->index(last, 0));
}

QTableWidget* DeskGrid::makePanel(const char* name, const QStringList& labels, QWidget* parent)
{
    auto* panel = new QTableWidget(int(labels.size()), 2, parent);
    panel->setObjectName(QLatin1String(name));
    panel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    panel->setFocusPolicy(Qt::NoFocus);
    panel->horizontalHeader()->hide();
    panel->verticalHeader()->hide();
    panel->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < labels.size(); ++row) {
        panel->setItem(row, 0, new QTableWidgetItem(labels.at(row)));
        panel->setItem(row, 1, new QTableWidgetItem);
    }
    panel->resizeColumnToContents(0);
    return panel;
}

void DeskGrid::setPanelValues(QTableWidget* panel, const QStringList& values)
{
    for (int row = 0; row < panel->rowCount(); ++row)
        panel->item(row, 1)->setText(values.value(row));
}

QStringList DeskGrid::panelValues(const QTableWidget* panel)
{
    QStringList values;
    for (int row = 0; row < panel->rowCount(); ++row)
        values << panel->item(row, 1)->text();
    return values;
}
