#include "flushprobe.h"

#include "db/dbsession.h"

FlushFigures measureFlush(int runs)
{
    DbSession& session = DbSession::current();
    LatencySamples roundTrips;
    LatencySamples commits;
    FlushFigures figures;
    // Interleaved, so that both meet the same moments of the machine.
    for (int i = 0; i < runs; ++i) {
        qint64 start = monotonicNanoseconds();
        if (!session.executeBare("BEGIN; SELECT 1; COMMIT"))
            ++figures.failed;
        roundTrips.add(monotonicNanoseconds() - start);
        start = monotonicNanoseconds();
        if (!session.executeBare("BEGIN; SELECT pg_logical_emit_message(true, 'scan-bench', ''); COMMIT"))
            ++figures.failed;
        commits.add(monotonicNanoseconds() - start);
    }
    figures.roundTrip = roundTrips.summary();
    figures.committed = commits.summary();
    return figures;
}
