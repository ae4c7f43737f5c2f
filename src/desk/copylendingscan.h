#pragma once

// What a scan into the book boxes of photocopy lending (txtLendBookBarCode) and photocopy return
// (txtRetBookBarCode) asks the desk to do. The desk control codes are the two codes of system
// parameter 22, already trimmed and upper-cased by the main window; an empty code never matches.

#include <QString>

enum class CopyScanAction {
    Nothing,        // empty return box: nothing happens
    RestartLending, // re-enter photocopy lending: the reader is dropped, the next card is awaited
    SwitchToReturn, // go to photocopy return
    LeaveReturn,    // back to photocopy lending, as the copy toggle does
    Lend,           // lend the book `code`
    Return,         // take back the book `code`
};

struct CopyScan
{
    CopyScanAction action = CopyScanAction::Nothing;
    QString code; // the box text trimmed and upper-cased
};

CopyScan LIB_CopyLendScan(const QString& boxText, const QString& endReaderCode,
                          const QString& copyReturnCode);
CopyScan LIB_CopyReturnScan(const QString& boxText, const QString& copyReturnCode);
