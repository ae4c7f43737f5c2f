#pragma once

// The reader record as the admission check reads it, shared with the photocopy return, which
// reads and shows the returning reader the same way.

#include "db/resulttable.h"
#include "deskcontext.h"

#include <QStringList>

// The reader and card of a card barcode, both rows locked.
QString readerRecordQuery(const QString& cardBarcode);

// One row of readerRecordQuery() with the reader type's figures taken from the cached reader-type
// table (applyReaderType). The card barcode is left empty.
ReaderRecord readerRecordFromRow(const ResultTable& rows, int row);

// Copies the reader type's name, validity flag and maximum loans, debt and reservations from the
// cached reader-type table. A type missing from the table (withdrawn from use, or a code that
// was never a type) gets the strictest figures instead: its code as the name, validity dates
// checked, and 0 for every maximum, so that any debt counts as too much. false in that case.
bool applyReaderType(ReaderRecord& reader);

// The reader panel vsRedrInfo: its captions and the values of a reader, in the same order
// (name, lending grade name, certificate number, reader type name, unit).
QStringList readerPanelLabels();
QStringList readerPanelValues(const ReaderRecord& reader);

// Money as the desk shows it: two decimals.
QString moneyText(double amount);
