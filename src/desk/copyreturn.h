#pragma once

// Photocopy return: a book lent for photocopying comes back to the desk. The loan must have been
// made under the desk's photocopy rule; a late return is charged by that rule, and the charge
// becomes an unsettled overdue charge of the reader.

#include "deskcontext.h"
#include "overduecharge.h"

#include <QString>
#include <QStringList>

// One line of the return grid vsCopyRet, in the grid's column order after the line number.
struct CopyReturnLine
{
    QString barcode;
    QString title;
    QString callNo;
    QString locationName;
    QString lentAt;
    QString due;     // as stored in the loan
    QString overdue; // "3天", "2小时", or empty when nothing was charged
    QString author;
    QString publisher;
    QString ruleNo;

    QStringList cells() const;
};

struct CopyReturnOutcome
{
    bool returned = false;
    // The borrower was read (and became the desk's current reader), with the portrait when the
    // desk shows portraits (ChkRedrPic); an empty path is the default picture.
    bool readerShown = false;
    bool portraitShown = false;
    QString portraitPath;
    OverdueCharge charge; // what the return was recorded with
    CopyReturnLine line;  // the line to append (emphasised) when the return was recorded
};

// Takes back the book with this barcode (already trimmed and upper-cased). The borrower becomes
// the desk's current reader as soon as the loan is found, and after a recorded return the desk's
// fine reader. Refusals show the system's coded messages, database failures go to
// LIB_DB_ShowError.
CopyReturnOutcome ReturnPhotocopy(DeskContext& desk, const QString& barcode);
