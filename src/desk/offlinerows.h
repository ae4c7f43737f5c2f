#pragma once

#include "offlinejournal.h"

#include <QStringList>

// What the desk shows of journaled scans: the rows of its result grids for a scan waiting to be
// recorded (marked as waiting, with the scanned codes where the grids have the server's texts),
// and the refused list with its print hand-over.
namespace OfflineRows {

// The mark in the first text column of a waiting scan's row.
QString waitingMark();

// A waiting scan's row for vsBook, vsReader or vsRedrBook (the columns of CountedBookRow,
// AdmittedReaderRow and RegisteredBookRow).
QStringList waitingCells(const OfflineScan& scan);

// The refused list: columns and rows.
QStringList refusedCaptions();
QList<QStringList> refusedRows(const QList<RefusedScan>& refused);

// Fills the print hand-over with the refused list (heading lines: title, date, staff, total);
// the number of rows.
int handOverRefused(const QList<RefusedScan>& refused, const QString& worker, const QString& today);

} // namespace OfflineRows
