#pragma once

#include "exportcolumns.h"

#include <QString>

class QAbstractItemModel;

// Writes a workbook (.xlsx) with one sheet "ExportData": the title line, the condition line, the
// column titles, then the rows, every cell as text, the columns given in their order. 0, or -1
// with the reason in `error`. `progress` is told the rows written; returning false stops the
// write and leaves no file.
int LIB_WriteWorkbook(const QString& path, const QAbstractItemModel& model,
                      const QList<ExportColumn>& columns, const QString& title, const QString& condition,
                      const ExportProgress& progress = {}, QString* error = nullptr);

// The print hand-over as the designer would export it (the report's template applied when there
// is one): title heading line 0, condition heading lines 1 to 5 joined by blanks. For reports run
// without a window. 0, or -1.
int LIB_ExportHandoverToXlsx(const QString& path, QString* error = nullptr);
