#include "stattablemodel.h"

#include <algorithm>

void StatTableModel::setTable(const QStringList& headings, const QList<QStringList>& rows,
                              const QStringList& rowHeadings)
{
    beginResetModel();
    m_headings = headings;
    m_rows = rows;
    m_rowHeadings = rowHeadings;
    endResetModel();
}

void StatTableModel::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_headings.size())
        return;
    QStringList& cells = m_rows[row];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
    Q_EMIT dataChanged(index(row, column), index(row, column));
}

void StatTableModel::sortRows(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_headings.size())
        return;
    auto number = [](QString text, bool* ok) { return text.remove(QLatin1Char('%')).toDouble(ok); };
    auto less = [&](const QStringList& a, const QStringList& b) {
        bool aNumber = false, bNumber = false;
        const double x = number(a.value(column), &aNumber), y = number(b.value(column), &bNumber);
        if (aNumber && bNumber)
            return x < y;
        return a.value(column) < b.value(column);
    };
    beginResetModel();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const QStringList& a, const QStringList& b) {
        return order == Qt::AscendingOrder ? less(a, b) : less(b, a);
    });
    for (QString& heading : m_headings)
        if (heading.endsWith(QStringLiteral("▲")) || heading.endsWith(QStringLiteral("▼")))
            heading.chop(1);
    m_headings[column] += order == Qt::AscendingOrder ? QStringLiteral("▲") : QStringLiteral("▼");
    endResetModel();
}

int StatTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StatTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant StatTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        // Figures line up on the right; names and patterns read from the left.
        bool number = false;
        QString text = cell(index.row(), index.column());
        text.remove(QLatin1Char('%')).toDouble(&number);
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant StatTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_headings.value(section);
    return section < m_rowHeadings.size() ? m_rowHeadings.at(section) : QString::number(section + 1);
}

QString LIB_WholeNumber(const QString& figure)
{
    return QString::number(qRound64(figure.trimmed().toDouble()));
}

QString LIB_Percentage(double share)
{
    return QString::number(share * 100.0, 'f', 2) + QLatin1Char('%');
}
