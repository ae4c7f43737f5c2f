#pragma once

#include <QSet>
#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

// The export routines of the grids. Each asks for the file itself and returns 0 when the rows
// were written, 1 when the operator cancelled (the file dialog, the table window or the progress
// display), -1 after a failure (reported with its message). Hidden columns are never exported.
//
// The "Access" database is an SQLite file: a new file is created when the chosen one does not
// exist, then the table window picks or creates the table. More than 51 exported columns end
// the export before any file is touched.

// The designer's table grid: frmExp2Table writes the rows from `firstDataRow` and reports.
int ExportGridToAccess(QWidget* parent, const QAbstractItemModel& grid, const QSet<int>& hidden,
                       int firstDataRow = 0);

// A result grid ("保存结果集"): frmExpTable picks the table, the rows are written under the
// progress display ("正在导出数据...", cancel keeps the rows written so far).
int ExportSpreadToAccess(QWidget* parent, const QAbstractItemModel& spread, const QSet<int>& hidden);
int ExportSpreadToAccess(QTableView* spread);

// The designer's table grid into a workbook (.xlsx) headed by the title and the condition line,
// under the progress display; "WCF011" before an existing file is replaced. The grid is not
// changed.
int ExportGridToExcel(QWidget* parent, const QAbstractItemModel& grid, const QSet<int>& hidden,
                      const QString& title, const QString& condition);
