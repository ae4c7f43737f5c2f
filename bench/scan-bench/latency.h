#pragma once

#include <QList>
#include <QtGlobal>

// Latencies of one kind of operation, kept in nanoseconds and summarised in microseconds.
struct LatencySummary
{
    int count = 0;
    double median = 0; // microseconds
    double p95 = 0;
    double p99 = 0;
    double max = 0;
};

class LatencySamples
{
public:
    void add(qint64 nanoseconds) { m_samples.append(nanoseconds); }
    int count() const { return int(m_samples.size()); }
    LatencySummary summary() const;

private:
    QList<qint64> m_samples;
};

// The nearest-rank percentile (0 < p <= 100) of ascending values: the smallest value that at
// least p percent of the values do not exceed. 0 for no values.
qint64 nearestRank(const QList<qint64>& ascending, double p);

// Monotonic clock in nanoseconds, comparable between processes of this machine.
qint64 monotonicNanoseconds();
// Processor time this process has used, in nanoseconds.
qint64 processorNanoseconds();
