#pragma once

// Photocopy lending: a reading room lends a book for a short time so that the admitted reader can
// have it copied. Every photocopy loan runs under the desk's photocopy rule (the CopyLendRule
// setting) and stays within the limits of that rule and of the reader's location group.

#include "deskcontext.h"

#include <QString>
#include <QStringList>

// One line of the lending grid vsCopyLend, in the grid's column order after the line number.
struct CopyLendLine
{
    QString barcode;
    QString title;
    QString callNo;
    QString lentAt; // the server's date-time after the loan was recorded
    QString due;    // as recorded: "yyyy-mm-dd", or "yyyy-mm-ddhh:mm:ss" for hour rules
    QString locationName;
    QString statusName;
    QString author;
    QString publisher;
    QString ruleNo;

    QStringList cells() const;
};

struct CopyLendOutcome
{
    bool failed = true;
    CopyLendLine line; // the line to append (emphasised) when the book was lent
};

// Lends the book with this barcode (already trimmed and upper-cased) to the reader admitted into
// `desk`. Refusals show the system's coded messages, database failures go to LIB_DB_ShowError.
// The desk keeps the item as its current item, with its MARC record and loan calendar.
CopyLendOutcome LendForPhotocopy(DeskContext& desk, const QString& barcode);
