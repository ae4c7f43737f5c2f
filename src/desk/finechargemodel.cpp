#include "finechargemodel.h"

#include <QColor>

void FineChargeModel::setCharges(const QList<FineChargeLine>& lines)
{
    beginResetModel();
    m_cells.clear();
    m_settleable.clear();
    for (const FineChargeLine& line : lines) {
        m_cells.append(line.cells());
        m_settleable.append(line.settleable);
    }
    endResetModel();
}

int FineChargeModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_cells.size());
}

int FineChargeModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FineChargeLine::captions().size());
}

QVariant FineChargeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_cells.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_cells.at(index.row()).value(index.column());
    if (role == Qt::ForegroundRole && m_settleable.at(index.row()))
        return QColor(Qt::red);
    return {};
}

QVariant FineChargeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return FineChargeLine::captions().value(section);
}

Qt::ItemFlags FineChargeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= m_settleable.size())
        return Qt::NoItemFlags;
    // Charges of other rooms are listed for the reader's information only.
    return m_settleable.at(index.row()) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled;
}
