#pragma once

#include "deskcontext.h"

#include <QString>
#include <QStringList>

// The rows the desk's result grids show after a recording, as plain texts. The grids' first,
// narrow column (the row number) is the window's; cells() are the columns after it, in the
// order of captions().

// A counted book (book counting).
struct CountedBookRow
{
    QString title;
    QString author;
    QString publisher;
    QString callNo;
    QString barcode;
    QString propNo;
    QString isbn;

    static CountedBookRow of(const ItemDetails& item);
    static QStringList captions();
    QStringList cells() const;
};

// A book registered for the admitted reader (reader and book registration).
struct RegisteredBookRow
{
    QString eventTime;
    QString readerName;
    CountedBookRow book;

    // The desk's current reader, current item and last event time.
    static RegisteredBookRow of(const DeskContext& desk);
    static QStringList captions();
    QStringList cells() const;
};

// An admitted reader (check-in and identity check).
struct AdmittedReaderRow
{
    QString name;
    QString unit;
    QString readerType;
    QString lendGrade;
    QString certId;
    QString arrivalTime;

    // The desk's current reader. The arrival time is the check-in's event time; the identity
    // check records no arrival, so its rows leave the time empty.
    static AdmittedReaderRow of(const DeskContext& desk);
    static QStringList captions();
    QStringList cells() const;
};
