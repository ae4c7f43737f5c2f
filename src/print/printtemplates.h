#pragma once

#include "printcolumn.h"
#include "printlayout.h"

#include <QList>
#include <QString>

// The operator's templates, one set per report name under the configuration directory:
//   打印配置1/<report>      the table's columns (order, titles, widths, formats, hidden, added)
//                           and the grid lines, as JSON;
//   打印配置2/<report>      the style store: one entry per heading label (its text, or "隐藏"
//                           for a hidden one; font; colour; place) and the page-settings record;
//   打印配置2/<report>.txt  the output items: per line the cells of the item grid's columns 1..,
//                           each followed by "|" (title, width, "-1" printed or "0", sort choice).
namespace PrintTemplates {

struct Template
{
    QList<PrintColumn> columns;
    PrintLayout layout;
};

QString gridPath(const QString& cfgDirectory, const QString& report);
QString stylePath(const QString& cfgDirectory, const QString& report);
QString itemsPath(const QString& cfgDirectory, const QString& report);

// Writes the three files, creating the folders. 0, or -1 when a file cannot be written.
int save(const QString& cfgDirectory, const QString& report, const Template& arrangement);

// Reads the three files of a report and applies them to the current table and heading lines:
// saved columns that still exist in the print table (and added ones) in the saved order and
// formats, columns the template does not know appended after them; the heading lines keep their
// current texts and take the saved styles; inserted labels and the page come from the style store.
// `current` is what the designer shows now (columns straight from the hand-over, the heading
// lines). false when the report has no template.
bool load(const QString& cfgDirectory, const QString& report, const Template& current, Template& applied);

// The output-item list in its text form, and back onto a column list (matched by row).
QString itemsText(const QList<PrintColumn>& columns);
void applyItemsText(const QString& text, QList<PrintColumn>& columns);

} // namespace PrintTemplates
