#pragma once

#include "latency.h"

// What the server and the disk alone cost, measured on the desk session's connection beside the
// scans: a round trip that commits nothing ("BEGIN; SELECT 1; COMMIT"), and a commit the server
// must flush to disk before it answers ("BEGIN; SELECT txid_current(); COMMIT": the transaction
// gets an id, so its commit record is written and flushed like that of any scan that writes).
// Every writing scan waits for at least one such flush; when the disk is slow, every scan is.
struct FlushFigures
{
    LatencySummary roundTrip;
    LatencySummary committed;
    int failed = 0;
};

FlushFigures measureFlush(int runs);
