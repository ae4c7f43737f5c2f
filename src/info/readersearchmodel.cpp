#include "readersearchmodel.h"

#include "infoconversions.h"

ReaderSearchModel::ReaderSearchModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReaderSearchModel::setResult(const ResultTable& rows)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(rows.recordCount());
    for (int r = 2; r < rows.recordCount() + 2; ++r) {
        QStringList cells;
        cells.reserve(ColumnCount);
        for (int c = 0; c < ColumnCount; ++c)
            cells.append(rows.text(c, r));
        cells[CardState] = InfoText::cardState(cells.at(CardState));
        m_rows.append(cells);
    }
    endResetModel();
}

void ReaderSearchModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString ReaderSearchModel::text(int row, Column column) const
{
    return m_rows.value(row).value(column);
}

int ReaderSearchModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReaderSearchModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReaderSearchModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QString& value = m_rows.at(index.row()).at(index.column());
    if (index.column() == Deregistered) {
        if (role == Qt::CheckStateRole)
            return value == QLatin1String("0") ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    return role == Qt::DisplayRole ? QVariant(value) : QVariant();
}

QVariant ReaderSearchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char* const captions[ColumnCount] = {"已注销",   "条码号",   "有效证件号", "姓名",
                                                      "身份证号", "单位",     "职业",       "读者类型",
                                                      "年级组",   "办证日期", "经手人",     "证件状态"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[section]) : QVariant();
}
