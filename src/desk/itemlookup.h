#pragma once

#include "db/resulttable.h"
#include "deskcontext.h"

#include <QList>
#include <QString>

// Finding the item a book barcode names, for the desk's reading room, and the texts its MARC
// record gives the desk's grids and item panel.

// The item lookup statement for a code as the desk sends it.
QString itemLookupStatement(const QString& code);

// The columns of the item statement, and the item of one of its rows (the first data row by default).
namespace ItemLookupColumn {
enum {
    PropNo,
    MarcRecNo,
    Location,
    CallNo,
    Barcode,
    StatusCode,
    LendFlag,
    Attachment,
    LendGrade,
    CircType,
    Price
};
}
ItemDetails itemFromLookupRow(const ResultTable& rows, int row = 2);

// Looks the scanned code up (trimmed and upper-cased) and checks that the item belongs to the
// desk's location. 0 with the item row filled (its MARC texts not yet read). -1 when refused or
// failed, after the message: "ELT130" for an unknown barcode, "ELT111" with the item location's
// name for a book of another location, or the database error. No transaction is opened.
int lookUpDeskItem(const QString& scannedCode, const QString& deskLocation, ItemDetails& item);

// Fills title, author, publisher and ISBN from the item's MARC record. When `known` holds the
// texts of the same record (the book shown last), they are taken over without a query. A failed
// read is reported and leaves the texts empty; the result is 0 or -1 accordingly.
int readItemTexts(ItemDetails& item, const ItemDetails& known);

// The item panel: its captions and values in the order shown.
struct ItemPanelLine
{
    QString caption;
    QString value;
};
QList<ItemPanelLine> itemPanelLines(const ItemDetails& item);
