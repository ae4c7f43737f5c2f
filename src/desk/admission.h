#pragma once

#include "admissionresult.h"
#include "deskcontext.h"

#include <functional>

// The reader admission check: every reader card scanned in modes 1 to 4 passes it before
// anything is recorded. One transaction reads the reader and card under a row lock, applies the
// checks the desk settings switch on, refreshes the reader's violations, and ends before the
// debt and photocopy-loan checks. Refusals are shown as the system's coded messages; the check
// itself records no visit (so the identity check mode records nothing).
//
// The desk context is updated as the check goes: from the moment the reader is read, desk.reader
// is this reader (with the scanned card) and desk.fineReader its certificate number; the debt
// checks set desk.fineAmount; desk.readerAdmitted is true only for an admitted reader.
class ReaderAdmission
{
public:
    // Called whenever what the window shows changes before a message box comes up (the reader
    // has been read; the violations or the overdue photocopy loans refuse him; the fine window is
    // about to open), so that the operator sees the reader behind the box. May stay empty.
    std::function<void(const AdmissionResult&)> showNow;

    // The overdue-fine window: it settles desk.fineReader's debt of desk.fineAmount, showing
    // itself unless it has nothing to show, and leaves desk.fineAmount at what is still owed.
    // Until the window layer installs it, photocopy lending passes the fine window over and only
    // warns (ELT107) about a debt above the reader type's maximum.
    std::function<void(DeskContext&)> settleFines;

    // The text of the reader box as scanned (already normalised by the barcode read rules).
    AdmissionResult admit(DeskContext& desk, const QString& readerBoxText);
};
