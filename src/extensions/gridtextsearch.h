#pragma once

#include <QModelIndex>
#include <QString>
#include <functional>

class QAbstractItemModel;

// The walk of the find command through one grid: cells row by row and column by column, forwards
// or backwards, from the cell after the last hit, skipping hidden columns.
namespace GridTextSearch {

struct Options
{
    bool wholeCell = false; // the cell equals the text (blanks around the cell's text ignored)
    bool caseSensitive = false;
    bool forward = true; // "向后": towards the last cell; "向前": towards the first
};

bool matches(const QString& cell, const QString& text, const Options& options);

// The first matching cell after `from` in the walk's direction; from the grid's first (or, going
// backwards, last) cell when `from` is not valid. Invalid when no further cell matches.
QModelIndex findNext(const QAbstractItemModel& model, const QModelIndex& from, const QString& text,
                     const Options& options, const std::function<bool(int column)>& columnHidden = {});

} // namespace GridTextSearch
