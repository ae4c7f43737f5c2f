#pragma once

#include "latency.h"

// What the server and the disk alone cost, measured on the desk session's connection beside the
// scans: a round trip that commits nothing ("BEGIN; SELECT 1; COMMIT"), and a commit the server
// must flush to disk before it answers: "BEGIN; SELECT pg_logical_emit_message(true, 'scan-bench',
// ''); COMMIT" puts a message into the transaction's log records (no table is touched), and a
// transaction that wrote log records is flushed at its commit, as every scan that writes is.
// When the disk is slow, every writing scan is.
struct FlushFigures
{
    LatencySummary roundTrip;
    LatencySummary committed;
    int failed = 0;
};

FlushFigures measureFlush(int runs);
