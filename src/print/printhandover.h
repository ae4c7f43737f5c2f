#pragma once

// What a list window hands the print designer before showing it: the print table (row 0 the
// column headings, rows 1.. the data, columns in grid order), the report name that names the
// designer's window and its template files, the mode flag and seven heading lines (0 the title,
// then the window's condition lines, "制表日期：", "制表人：" and a total line; unused ones empty).
// One instance for the process; the last caller's data is what the designer shows.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>

class QAbstractItemModel;

class PrintHandover
{
public:
    static constexpr int HeadingLineCount = 7;

    static PrintHandover& instance();

    // Empties the table and the heading lines and names the report; the mode flag becomes 1.
    void reset(const QString& reportName);

    QString reportName() const { return m_reportName; }
    void setReportName(const QString& name) { m_reportName = name; }
    int mode() const { return m_mode; }
    void setMode(int mode) { m_mode = mode; }

    QString headingLine(int index) const;
    void setHeadingLine(int index, const QString& text); // index 0..6; others are ignored
    const std::array<QString, HeadingLineCount>& headingLines() const { return m_headingLines; }

    // The table: row 0 the headings.
    void setHeadings(const QStringList& headings);
    void appendRow(const QStringList& cells);
    void setRows(QList<QStringList> rows); // data rows, replacing the previous ones
    const QList<QStringList>& table() const { return m_table; }
    int rowCount() const { return int(m_table.size()); } // headings included
    int dataRowCount() const { return rowCount() > 0 ? rowCount() - 1 : 0; }
    int columnCount() const;                 // the widest row
    QString cell(int row, int column) const; // empty outside the table

    // Columns the caller marks "Hide": loaded, but never shown, printed or exported.
    void setColumnHidden(int column, bool hidden);
    bool isColumnHidden(int column) const { return m_hidden.contains(column); }
    const QSet<int>& hiddenColumns() const { return m_hidden; }

    // The column that holds each row's MARC record number (usually a hidden one), for the
    // designer's MARC columns; -1 (the default after reset) when the rows are not items.
    void setMarcColumn(int column) { m_marcColumn = column; }
    int marcColumn() const { return m_marcColumn; }

    // Takes a model's headings and rows (display texts) as the table, the model's hidden
    // columns given by `hidden`.
    void takeModel(const QAbstractItemModel& model, const QSet<int>& hidden = {});

private:
    QString m_reportName;
    int m_mode = 1;
    std::array<QString, HeadingLineCount> m_headingLines;
    QList<QStringList> m_table;
    QSet<int> m_hidden;
    int m_marcColumn = -1;
};
