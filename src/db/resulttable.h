#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

// What every query returns: the record count and a grid of values by column and row.
// Row 0 holds the column names, row 1 the column type codes, data starts at row 2. One extra empty
// column (index columnCount()) and one extra empty row follow the data, so code that walks "to the
// count" inclusive never reads outside the grid.
class ResultTable
{
public:
    // Column type codes, as the system's statement routines report them.
    enum TypeCode { TypeOther = 0, TypeInteger = 3, TypeLong = 4, TypeDouble = 7, TypeText = 10 };

    ResultTable() = default;
    ResultTable(int fieldCount, int recordCount);

    int recordCount() const { return m_records; }
    int fieldCount() const { return m_fields; }
    bool isEmpty() const { return m_records == 0; }

    // Any column 0..fieldCount and row 0..recordCount+2; outside that an empty value.
    QVariant value(int column, int row) const;
    void setValue(int column, int row, QVariant value);

    // Convenience readers for data rows (row 2 is the first data row).
    QString text(int column, int row) const { return value(column, row).toString(); }
    double number(int column, int row) const { return value(column, row).toDouble(); }
    // Whether a number column holds a value there: NULL is stored as the integer 0, any number
    // that was read as a double.
    bool hasNumber(int column, int row) const { return value(column, row).typeId() == QMetaType::Double; }

    QString columnName(int column) const { return text(column, 0); }
    int columnIndex(const QString& name) const; // -1 when absent; case-insensitive

    void clear() { *this = ResultTable(); }

private:
    int rows() const { return m_records + 3; }
    int m_fields = 0;
    int m_records = 0;
    QVector<QVariant> m_cells; // column-major: cell (c, r) at c * rows() + r
};
