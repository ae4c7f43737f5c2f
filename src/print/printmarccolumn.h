#pragma once

#include <QString>

class PrintTableModel;

// "新增Marc子字段": a column filled from the MARC records of the rows' items (the rows' data tags),
// with the CN MARC path for CN MARC records and the US MARC path for US MARC ones. The records
// are read in batches, not one statement per row. Returns the new column's index, or -1 after a
// database failure (the error record is filled; the caller reports it).
int LIB_AddMarcColumn(PrintTableModel& model, const QString& heading, const QString& cnMarc,
                      const QString& usMarc);

// Fills an existing MARC column again (a template applied to new rows). 0 or -1 as above.
int LIB_FillMarcColumn(PrintTableModel& model, int column);
