#pragma once

#include "benchdesk.h"
#include "latency.h"

#include <QTextStream>

// The offline desk against the online one: how long a scan takes to answer when it goes into the
// offline journal (the journal's synced write and the waiting row) beside the same scan recorded
// on the server, key by key in random order; then how fast the journal is caught up with.
struct OfflineFigures
{
    LatencySamples onlineCheckIn;
    LatencySamples offlineCheckIn;
    LatencySamples onlineCounting;
    LatencySamples offlineCounting;
    // The floor of an offline scan: the same synced write of one row with bare SQLite calls.
    LatencySamples bareWrite;
    int surprises = 0; // scans refused or journal writes failed (none with valid keys)
    QStringList messages;

    int caughtUp = 0; // scans recorded from the journal
    int refused = 0;  // refused by the checks when caught up with
    double catchUpSeconds = 0;
    // The catching up's floor: the timed online scans plus one bare synced write per event.
    qint64 floorNanoseconds = 0;
    int floorEvents = 0;
    long catchUpStatements = 0;
};

OfflineFigures measureOffline(BenchDesk& bench, int scans, int warmup, quint64 seed);
void printOffline(QTextStream& out, const OfflineFigures& figures);
