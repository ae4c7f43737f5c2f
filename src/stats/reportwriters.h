#pragma once

// The files readdesk-report writes a report's grid into, chosen by the file's extension.

#include <QString>
#include <QStringList>

struct ReportResult;

// Writes the result to path; 0, or -1 with the reason in error.
using ReportWriter = int (*)(const QString& path, const ReportResult& result, QString& error);

// The writer of an extension ("csv", "pdf"), nullptr when there is none.
ReportWriter LIB_ReportWriter(const QString& extension);
QStringList LIB_ReportFormats();

// The grid as CSV: UTF-8 with a byte-order mark (spreadsheet programs then read the Chinese
// text right), a heading row, fields quoted where they need it, CR LF line ends. "-" is
// standard output.
int LIB_WriteReportCsv(const QString& path, const ReportResult& result, QString& error);
// The grid with the heading lines, laid out by the print designer, as PDF.
int LIB_WriteReportPdf(const QString& path, const ReportResult& result, QString& error);
// The grid with the heading lines as a workbook (.xlsx), as the designer exports it.
int LIB_WriteReportXlsx(const QString& path, const ReportResult& result, QString& error);
