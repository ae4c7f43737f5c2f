#include "printhandover.h"

#include <QAbstractItemModel>

PrintHandover& PrintHandover::instance()
{
    static PrintHandover handover;
    return handover;
}

void PrintHandover::reset(const QString& reportName)
{
    *this = PrintHandover();
    m_reportName = reportName;
}

QString PrintHandover::headingLine(int index) const
{
    return index >= 0 && index < HeadingLineCount ? m_headingLines[size_t(index)] : QString();
}

void PrintHandover::setHeadingLine(int index, const QString& text)
{
    if (index >= 0 && index < HeadingLineCount)
        m_headingLines[size_t(index)] = text;
}

void PrintHandover::setHeadings(const QStringList& headings)
{
    if (m_table.isEmpty())
        m_table.append(headings);
    else
        m_table.first() = headings;
}

void PrintHandover::appendRow(const QStringList& cells)
{
    if (m_table.isEmpty())
        m_table.append(QStringList());
    m_table.append(cells);
}

void PrintHandover::setRows(QList<QStringList> rows)
{
    const QStringList headings = m_table.isEmpty() ? QStringList() : m_table.first();
    m_table = std::move(rows);
    m_table.prepend(headings);
}

int PrintHandover::columnCount() const
{
    qsizetype widest = 0;
    for (const QStringList& row : m_table)
        widest = std::max(widest, row.size());
    return int(widest);
}

QString PrintHandover::cell(int row, int column) const
{
    if (row < 0 || row >= m_table.size())
        return {};
    return m_table.at(row).value(column);
}

void PrintHandover::setColumnHidden(int column, bool hidden)
{
    if (hidden)
        m_hidden.insert(column);
    else
        m_hidden.remove(column);
}

void PrintHandover::takeModel(const QAbstractItemModel& model, const QSet<int>& hidden)
{
    const int columns = model.columnCount();
    QStringList headings;
    for (int c = 0; c < columns; ++c)
        headings << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QList<QStringList> rows;
    rows.reserve(model.rowCount() + 1);
    rows.append(headings);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        cells.reserve(columns);
        for (int c = 0; c < columns; ++c)
            cells << model.data(model.index(r, c), Qt::DisplayRole).toString();
        rows.append(cells);
    }
    m_table = std::move(rows);
    m_hidden = hidden;
}
