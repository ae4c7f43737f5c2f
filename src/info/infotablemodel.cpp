#include "infotablemodel.h"

InfoTableModel::InfoTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void InfoTableModel::setTable(const QStringList& captions, QList<QStringList> rows)
{
    beginResetModel();
    m_captions = captions;
    m_rows = std::move(rows);
    endResetModel();
}

void InfoTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString InfoTableModel::cell(int row, int column) const
{
    return m_rows.value(row).value(column);
}

int InfoTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int InfoTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size()) + 1;
}

QVariant InfoTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? QString::number(index.row() + 1) : cell(index.row(), index.column() - 1);
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return int(Qt::AlignCenter);
    return {};
}

QVariant InfoTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QString() : m_captions.value(section - 1);
}
