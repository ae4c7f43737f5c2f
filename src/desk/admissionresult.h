#pragma once

#include <QList>
#include <QStringList>

// A photocopy loan of the reader, as a row of vsCopyLend: row number, barcode, title, call
// number, lending date, due date, location name, item status name, author, publisher, rule.
struct CopyLoanRow
{
    QStringList cells;
    bool overdue = false; // drawn in red
};

// What the admission check hands the desk window. The window shows it as it stands; the messages
// have already been shown by the check.
struct AdmissionResult
{
    bool refused = true;

    // The reader box is to be emptied and focused (unknown card, reader type not local,
    // unsettled violations).
    bool clearReaderBox = false;

    // The reader panel shows this reader (false: the card was refused before the reader was
    // read, and the panel keeps what it showed). The values follow readerPanelLabels().
    bool readerShown = false;
    QStringList panelValues;

    // The portrait is shown (ChkRedrPic) from portraitPath; an empty path is the default picture.
    bool portraitShown = false;
    QString portraitPath;

    // Rows of vsVolt: row number, deal state, punishment date, violation type, property number,
    // location, fine, payment date, bill number, end of suspension, operator, remark. vsVolt is
    // shown, with its first row selected, only when the violations refused the reader.
    QList<QStringList> violationRows;
    bool showViolations = false;

    // Photocopy lending: the reader's photocopy loans for vsCopyLend.
    bool copyLoansListed = false;
    QList<CopyLoanRow> copyLoans;
};
