#pragma once

#include <QString>

class PrintTableModel;
struct PrintLayout;

// Applies a report's saved template to a freshly loaded model and its layout: columns, widths,
// formats, added MARC columns (filled again from the records), sort choices, grid lines, label
// styles and the page. The seven heading lines keep the texts they have in `layout`.
// 1 applied, 0 no template for the report, -1 the MARC records could not be read (the error
// record is filled; the rest of the template is applied).
int LIB_ApplyPrintTemplate(PrintTableModel& model, PrintLayout& layout, const QString& cfgDirectory,
                           const QString& report);
