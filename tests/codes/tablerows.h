#pragma once

// Builds a cached table by hand: heading row, text type row, then the data rows.

#include "db/resulttable.h"

#include <QStringList>

inline ResultTable tableOf(const QStringList& columns, const QList<QStringList>& rows)
{
    ResultTable table(int(columns.size()), int(rows.size()));
    for (int c = 0; c < columns.size(); ++c) {
        table.setValue(c, 0, columns.at(c));
        table.setValue(c, 1, int(ResultTable::TypeText));
        for (int r = 0; r < rows.size(); ++r)
            table.setValue(c, r + 2, rows.at(r).value(c));
    }
    return table;
}
