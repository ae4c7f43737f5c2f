#pragma once

#include "offlinejournal.h"

#include <QString>

// What became of a journaled scan when the desk caught up with it.
struct ReplayResult
{
    enum Outcome {
        Recorded,       // recorded now, or found recorded before (alreadyRecorded)
        Refused,        // the desk's checks refused it; the message says why
        ConnectionLost, // the server went away again: the scan waits on in the journal
    };
    Outcome outcome = Refused;
    bool alreadyRecorded = false;
    QString messageCode;
    QString messageText;
};

// Records a journaled scan through the desk's own operations, as if it were scanned now at the
// scan's location by the scan's operator, but with the scan's time as the event time: book
// counting records the book; check-in and registration first run the reader admission with all
// its checks, then record the visit or the book. No message box comes up: what the operations
// say is handed back. A scan whose key the server already holds (recorded before a crash or a
// lost connection) is not recorded again, nor is an uncertain scan whose event the server holds.
ReplayResult LIB_ReplayOfflineScan(const OfflineScan& scan);
