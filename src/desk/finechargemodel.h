#pragma once

// The grid spdFine of the fine window: one line per unsettled charge, the charges this
// workstation may settle drawn in red and the only ones that can be selected.

#include "finecharges.h"

#include <QAbstractTableModel>

class FineChargeModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setCharges(const QList<FineChargeLine>& lines);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<QStringList> m_cells;
    QList<bool> m_settleable;
};
