#pragma once

// What a list window hands the print designer before showing it: the print table (row 0 the
// column headings, rows 1.. the data, columns in grid order), the report name that names the
// designer's window and its template files, the mode flag and seven heading lines (0 the title,
// then the window's condition lines, "制表日期：", "制表人：" and a total line; unused ones empty).
// One instance for the process; the last caller's data is what the designer shows.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

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

    // Reads one MARC field path's values for a list of record numbers (CN MARC path, US MARC
    // path): 0, or -1 after a database failure with the error record filled.
    using MarcFieldReader = std::function<int(const QStringList& recordNumbers, const QString& cnMarc,
                                              const QString& usMarc, QHash<QString, QString>& values)>;
    // The column that holds each row's MARC record number (usually a hidden one) and the reader
    // of the records, for the designer's MARC columns; -1 (the default after reset) when the rows
    // are not items. The caller hands the reader in, since the records are not the printer's.
    void setMarcColumn(int column, MarcFieldReader reader)
    {
        m_marcColumn = column;
        m_marcReader = std::move(reader);
    }
    int marcColumn() const { return m_marcColumn; }
    const MarcFieldReader& marcReader() const { return m_marcReader; }

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
    MarcFieldReader m_marcReader;
};
