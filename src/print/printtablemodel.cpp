#include "printtablemodel.h"

#include "printhandover.h"

#include <QCollator>
#include <QColor>
#include <QFont>
#include <QLocale>
#include <algorithm>
#include <numeric>

PrintTableModel::PrintTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void PrintTableModel::load(const PrintHandover& handover)
{
    beginResetModel();
    m_rows = handover.table();
    if (m_rows.isEmpty())
        m_rows.append(QStringList());
    m_marcColumn = handover.marcColumn();
    m_marcReader = handover.marcReader();
    m_callerHidden = handover.hiddenColumns();
    m_order.resize(m_rows.size() - 1);
    std::iota(m_order.begin(), m_order.end(), 1);
    m_columns.clear();
    const int width = handover.columnCount();
    for (int c = 0; c < width; ++c) {
        PrintColumn column;
        column.source = c;
        column.heading = m_rows.first().value(c);
        column.hidden = handover.isColumnHidden(c);
        m_columns.append(column);
    }
    endResetModel();
}

int PrintTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int PrintTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString PrintTableModel::cell(int row, int column) const
{
    return sourceCell(m_order.at(row), column);
}

QString PrintTableModel::sourceCell(int sourceRow, int column) const
{
    const PrintColumn& shown = m_columns.at(column);
    return shown.source >= 0 ? m_rows.at(sourceRow).value(shown.source) : shown.values.value(sourceRow);
}

QString PrintTableModel::rowTag(int row) const
{
    return m_marcColumn < 0 ? QString() : m_rows.at(m_order.at(row)).value(m_marcColumn).trimmed();
}

QVariant PrintTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const PrintColumn& shown = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return shown.alignment;
    case Qt::FontRole:
        if (!shown.font.isEmpty()) {
            QFont font;
            font.fromString(shown.font);
            return font;
        }
        return {};
    case Qt::ForegroundRole:
        return shown.color.isEmpty() ? QVariant() : QVariant(QColor(shown.color));
    default:
        return {};
    }
}

Qt::ItemFlags PrintTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && m_columns.at(index.column()).source < 0 && !m_columns.at(index.column()).isMarc())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool PrintTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_columns[index.column()].values[m_order.at(index.row())] = value.toString();
    Q_EMIT dataChanged(index, index);
    return true;
}

QVariant PrintTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_columns.at(section).heading;
    if (role == Qt::BackgroundRole)
        return QColor(0xE0, 0xE0, 0xE0);
    return {};
}

bool PrintTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::EditRole || section < 0 || section >= m_columns.size())
        return false;
    m_columns[section].heading = value.toString();
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

void PrintTableModel::setColumns(const QList<PrintColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    for (PrintColumn& column : m_columns) {
        if (column.source < 0)
            column.values.resize(m_rows.size());
        column.hidden = column.hidden || m_callerHidden.contains(column.source);
    }
    endResetModel();
}

void PrintTableModel::setColumnHidden(int column, bool hidden)
{
    const bool locked = isHiddenByCaller(column);
    changeColumn(column, [hidden, locked](PrintColumn& c) { c.hidden = hidden || locked; });
}

bool PrintTableModel::isHiddenByCaller(int column) const
{
    const int source = m_columns.at(column).source;
    return source >= 0 && m_callerHidden.contains(source);
}

QList<int> PrintTableModel::visibleColumns() const
{
    QList<int> visible;
    for (int c = 0; c < m_columns.size(); ++c)
        if (!m_columns.at(c).hidden)
            visible.append(c);
    return visible;
}

int PrintTableModel::appendColumn(const PrintColumn& column)
{
    const int place = int(m_columns.size());
    beginInsertColumns({}, place, place);
    m_columns.append(column);
    m_columns.last().values.resize(m_rows.size());
    endInsertColumns();
    return place;
}

QList<PrintColumn> PrintTableModel::originalColumns() const
{
    QList<PrintColumn> columns;
    const QStringList& headings = m_rows.first();
    for (const PrintColumn& column : m_columns)
        if (column.source >= 0) {
            PrintColumn original;
            original.source = column.source;
            original.heading = headings.value(column.source);
            columns.append(original);
        }
    std::sort(columns.begin(), columns.end(),
              [](const PrintColumn& a, const PrintColumn& b) { return a.source < b.source; });
    return columns;
}

namespace {

// Texts that read as numbers compare by value and come before other texts; others in Chinese order.
struct CellOrder
{
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};

    int compare(const QString& a, const QString& b) const
    {
        bool aNumber = false;
        bool bNumber = false;
        const double x = a.toDouble(&aNumber);
        const double y = b.toDouble(&bNumber);
        if (aNumber && bNumber)
            return x < y ? -1 : (x > y ? 1 : 0);
        if (aNumber != bNumber)
            return aNumber ? -1 : 1;
        return collator.compare(a, b);
    }
};

} // namespace

void PrintTableModel::sortByColumn(int column, Qt::SortOrder order)
{
    for (PrintColumn& column : m_columns)
        column.sortChoice = PrintColumn::NoSort;
    m_columns[column].sortChoice =
        order == Qt::AscendingOrder ? PrintColumn::Ascending : PrintColumn::Descending;
    applySortChoices();
}

void PrintTableModel::applySortChoices()
{
    QList<int> keys;
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns.at(c).sortChoice != PrintColumn::NoSort)
            keys.append(c);
    if (keys.isEmpty())
        return;
    Q_EMIT layoutAboutToBeChanged();
    CellOrder order;
    order.collator.setNumericMode(true);
    // Each key column's texts by print-table row, read once.
    QList<QStringList> texts;
    for (int key : keys) {
        QStringList column;
        column.reserve(m_rows.size());
        for (int r = 0; r < m_rows.size(); ++r)
            column.append(sourceCell(r, key));
        texts.append(column);
    }
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        for (int k = 0; k < keys.size(); ++k) {
            const int result = order.compare(texts[k].at(a), texts[k].at(b));
            if (result != 0)
                return m_columns.at(keys[k]).sortChoice == PrintColumn::Ascending ? result < 0 : result > 0;
        }
        return false;
    });
    Q_EMIT layoutChanged();
}

QList<QPair<int, int>> PrintTableModel::equalRuns(int column) const
{
    QList<QPair<int, int>> runs;
    const int rows = rowCount();
    int start = 0;
    for (int r = 1; r <= rows; ++r) {
        if (r < rows && cell(r, column) == cell(start, column))
            continue;
        if (r - start > 1)
            runs.append({start, r - start});
        start = r;
    }
    return runs;
}
