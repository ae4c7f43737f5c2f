#pragma once

// What the desk's operations share between scans. The desk window owns one DeskContext; the
// operations (admission, recording, photocopy lending and return) read and update it and hand the
// window plain rows to show. Nothing here opens a widget.

#include "codes/loancalendar.h"

#include <QString>

enum class DeskMode {
    BookCounting = 0,
    ReaderCheckIn = 1,
    ReaderBookRegistration = 2,
    IdentityCheck = 3,
    CopyLending = 4,
    CopyReturn = 5,
};

// The reader record read by the admission check: the reader and the scanned card, with the
// reader type's figures copied from the cached reader-type table.
struct ReaderRecord
{
    QString certId;
    QString typeCode;
    QString lendGrade;
    QString idCard;
    QString name;
    QString dept;
    QString sex;
    int violationCount = 0; // reader.volt_flag: unsettled violations
    double debt = 0;        // reader.debt_flag: amount owed
    double totalLendQty = 0;
    double yearLendQty = 0;
    QString readerFlag; // "0": deregistered
    QString deregisteredDay;
    QString typeName;
    QString typeChecksValidity; // "1": the card's validity dates are checked
    double typeMaxLendQty = 0;
    double typeMaxDebt = 0;
    double typeMaxReservations = 0;
    QString cardFlag; // "0" invalid, "2" reported lost
    QString cardBeginDate;
    QString cardEndDate;
    QString cardBarcode; // as scanned

    bool isEmpty() const { return certId.isEmpty(); }
};

// The item row of the last lookup and the texts taken from its MARC record.
struct ItemDetails
{
    QString propNo;
    QString marcRecNo;
    QString location;
    QString callNo;
    QString barcode;
    QString statusCode;
    QString lendFlag;
    QString attachment;
    QString lendGrade;
    QString circTypeCode;
    double price = 0;
    bool priced = false; // the item has a price at all (price not NULL)
    QString title;
    QString author;
    QString publisher;
    QString isbn;
    // title, author, publisher and isbn hold what the record marcRecNo gives (read once per item
    // shown: scanning the same book again takes them over without a query).
    bool textsRead = false;

    bool isEmpty() const { return propNo.isEmpty(); }
};

struct DeskContext
{
    DeskMode mode = DeskMode::ReaderCheckIn;
    QString location; // the desk's reading room (LIB_GetEnv 3)
    QString worker;   // the operator (LIB_GetEnv 4)

    ReaderRecord reader; // the last admitted or refused reader
    bool readerAdmitted = false;
    ItemDetails item; // the last item looked up
    QString lastServerDate;

    // The reader and amount the overdue-fine window works on.
    QString fineReader;
    double fineAmount = 0;

    // The calendar of the current photocopy loan: closing periods and opening times of the
    // item's location, kept by photocopy lending.
    LoanCalendar loanCalendar;

    bool checkOnly() const { return mode == DeskMode::IdentityCheck; }
    bool copyLending() const { return mode == DeskMode::CopyLending; }
};
