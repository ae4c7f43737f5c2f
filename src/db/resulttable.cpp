#include "resulttable.h"

ResultTable::ResultTable(int fieldCount, int recordCount)
    : m_fields(fieldCount), m_records(recordCount), m_cells((fieldCount + 1) * (recordCount + 3))
{
}

QVariant ResultTable::value(int column, int row) const
{
    if (column < 0 || column > m_fields || row < 0 || row >= rows())
        return {};
    return m_cells.at(column * rows() + row);
}

void ResultTable::setValue(int column, int row, QVariant value)
{
    if (column < 0 || column > m_fields || row < 0 || row >= rows())
        return;
    m_cells[column * rows() + row] = std::move(value);
}

int ResultTable::columnIndex(const QString& name) const
{
    for (int c = 0; c < m_fields; ++c) {
        if (columnName(c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}
