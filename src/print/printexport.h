#pragma once

#include <QString>

class PrintTableModel;
struct PrintLayout;

// The designer's file exports. Each writes the heading lines and the table's visible columns in
// their shown order and returns 0, or -1 when the file cannot be written. Files are UTF-8.
namespace PrintExport {

// Heading line 0, a line of 81 "=", heading lines 1 to 5, the "=" line again, the visible
// column titles joined by "|", then each row's visible cells joined by "|". Lines end in CR LF.
QString text(const PrintTableModel& model, const PrintLayout& layout);
int writeText(const PrintTableModel& model, const PrintLayout& layout, const QString& path);

// A page with an inline style sheet, the heading lines and the visible table.
QString html(const PrintTableModel& model, const PrintLayout& layout, const QString& title);
int writeHtml(const PrintTableModel& model, const PrintLayout& layout, const QString& title,
              const QString& path);

// <table> with one <row> per data row and one <cell name="title"> per visible column; the heading
// lines as <heading> elements before the rows.
int writeXml(const PrintTableModel& model, const PrintLayout& layout, const QString& report,
             const QString& path);

// A list as text: the cells of each row joined by tabs, lines ending in CR LF; UTF-8, or UTF-16
// with its byte-order mark ("Unicode").
int writeList(const QList<QStringList>& rows, bool utf16, const QString& path);

// The rows of the visible columns, titles first, for the other writers.
QStringList visibleHeadings(const PrintTableModel& model);

} // namespace PrintExport
