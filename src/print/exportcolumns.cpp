#include "exportcolumns.h"

#include <QAbstractItemModel>

QList<ExportColumn> LIB_ExportColumns(const QAbstractItemModel& model, const QSet<int>& hidden)
{
    QList<ExportColumn> columns;
    for (int c = 0; c < model.columnCount(); ++c)
        if (!hidden.contains(c))
            columns.append({model.headerData(c, Qt::Horizontal).toString(), c});
    return columns;
}
