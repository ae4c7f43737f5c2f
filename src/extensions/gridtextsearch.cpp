#include "gridtextsearch.h"

#include <QAbstractItemModel>

bool GridTextSearch::matches(const QString& cell, const QString& text, const Options& options)
{
    const Qt::CaseSensitivity cs = options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return options.wholeCell ? cell.trimmed().compare(text, cs) == 0 : cell.contains(text, cs);
}

QModelIndex GridTextSearch::findNext(const QAbstractItemModel& model, const QModelIndex& from,
                                     const QString& text, const Options& options,
                                     const std::function<bool(int column)>& columnHidden)
{
    const qint64 rows = model.rowCount();
    const qint64 columns = model.columnCount();
    const qint64 cells = rows * columns;
    if (cells == 0 || text.isEmpty())
        return {};
    // Cells are numbered row by row; the walk starts beside the last hit.
    const int step = options.forward ? 1 : -1;
    qint64 position = options.forward ? 0 : cells - 1;
    if (from.isValid() && from.model() == &model)
        position = qint64(from.row()) * columns + from.column() + step;
    for (; position >= 0 && position < cells; position += step) {
        const int row = int(position / columns);
        const int column = int(position % columns);
        if (columnHidden && columnHidden(column))
            continue;
        const QModelIndex index = model.index(row, column);
        if (matches(model.data(index, Qt::DisplayRole).toString(), text, options))
            return index;
    }
    return {};
}
