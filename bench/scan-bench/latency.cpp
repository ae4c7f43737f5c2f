#include "latency.h"

#include <algorithm>
#include <cmath>
#include <ctime>

qint64 nearestRank(const QList<qint64>& ascending, double p)
{
    if (ascending.isEmpty())
        return 0;
    const qsizetype n = ascending.size();
    // A small tolerance keeps 95 % of 100 values at rank 95 despite the binary fraction.
    qsizetype rank = qsizetype(std::ceil(p / 100.0 * double(n) - 1e-9));
    rank = std::clamp<qsizetype>(rank, 1, n);
    return ascending.at(rank - 1);
}

LatencySummary LatencySamples::summary() const
{
    QList<qint64> sorted = m_samples;
    std::sort(sorted.begin(), sorted.end());
    LatencySummary s;
    s.count = int(sorted.size());
    if (sorted.isEmpty())
        return s;
    s.median = nearestRank(sorted, 50) / 1000.0;
    s.p95 = nearestRank(sorted, 95) / 1000.0;
    s.p99 = nearestRank(sorted, 99) / 1000.0;
    s.max = sorted.last() / 1000.0;
    return s;
}

qint64 monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

qint64 processorNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
