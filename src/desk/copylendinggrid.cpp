#include "copylendinggrid.h"

#include <QBrush>

const QColor CopyGridModel::EmphasisBackground(240, 251, 255);
const QColor CopyGridModel::ReturnNumberBackground(255, 236, 200);

CopyGridModel* CopyGridModel::forLending(QObject* parent)
{
    return new CopyGridModel({"借", "条码号", "题名", "索书号", "借书时间", "应还期", "馆藏地", "状态",
                              "责任者", "出版社", "规则号"},
                             QColor(), parent);
}

CopyGridModel* CopyGridModel::forReturn(QObject* parent)
{
    return new CopyGridModel({"还", "条码号", "题名", "索书号", "馆藏地", "借书时间", "应还期", "超期时间",
                              "责任者", "出版社", "规则号"},
                             ReturnNumberBackground, parent);
}

CopyGridModel::CopyGridModel(const QStringList& captions, const QColor& numberCellTint, QObject* parent)
    : QAbstractTableModel(parent), m_captions(captions), m_numberCellTint(numberCellTint)
{
}

void CopyGridModel::setGridFont(const QFont& font)
{
    m_font = font;
    if (!m_lines.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::FontRole});
}

void CopyGridModel::clear()
{
    beginResetModel();
    m_lines.clear();
    m_newest = -1;
    endResetModel();
}

int CopyGridModel::appendListed(const QStringList& cells, Ink ink)
{
    return append(cells, ink);
}

int CopyGridModel::appendNewest(const QStringList& cells)
{
    const int previous = m_newest;
    m_newest = append(cells, Ink::Blue);
    if (previous >= 0)
        Q_EMIT dataChanged(index(previous, 0), index(previous, columnCount() - 1));
    return m_newest;
}

int CopyGridModel::append(const QStringList& cells, Ink ink)
{
    const int row = int(m_lines.size());
    beginInsertRows({}, row, row);
    m_lines.append({cells, ink});
    endInsertRows();
    return row;
}

QStringList CopyGridModel::lineCells(int row) const
{
    if (row < 0 || row >= m_lines.size())
        return {};
    return QStringList{QString::number(row + 1)} + m_lines.at(row).cells;
}

int CopyGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int CopyGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant CopyGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const Line& line = m_lines.at(index.row());
    const bool emphasised = index.row() == m_newest;
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? QString::number(index.row() + 1) : line.cells.value(index.column() - 1);
    case Qt::ForegroundRole:
        switch (line.ink) {
        case Ink::Red:
            return QBrush(QColor(255, 0, 0));
        case Ink::Blue:
            return QBrush(QColor(0, 0, 255));
        default:
            return QBrush(QColor(0, 0, 0));
        }
    case Qt::BackgroundRole:
        if (emphasised && index.column() == 0 && m_numberCellTint.isValid())
            return QBrush(m_numberCellTint);
        return QBrush(emphasised ? EmphasisBackground : QColor(Qt::white));
    case Qt::FontRole: {
        QFont font = m_font;
        if (emphasised)
            font.setPointSizeF(font.pointSizeF() + 3);
        return font;
    }
    default:
        return {};
    }
}

QVariant CopyGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_captions.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
