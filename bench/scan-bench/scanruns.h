#pragma once

#include "benchdesk.h"
#include "desk/admission.h"
#include "floorsession.h"
#include "latency.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <functional>
#include <random>

// The figures of one kind of scan: the desk's latency and, beside it, the floor of the same
// statements replayed bare.
struct OperationFigures
{
    QString name;
    LatencySamples desk;
    LatencySamples floor;
    LatencySamples firstScan;      // the desk's first scan of the key (the server's cache cold)
    LatencySamples deskProcessor;  // processor time of the desk's own process during the scan
    LatencySamples floorProcessor; // the same for the replay
    int runs = 0;
    qint64 statements = 0; // sent by the timed runs together
    int fewestStatements = 0;
    int mostStatements = 0;
    int refused = 0;          // runs that failed or showed a message box
    int differing = 0;        // timed scans that sent another number of statements than the first
    QStringList messages;     // the first few boxes shown, for the report
    QList<QByteArray> sample; // the statements of the last timed run (for plans)

    double statementsPerRun() const { return runs ? double(statements) / runs : 0; }
};

// How much of each scan to run.
struct ScanPlan
{
    int warmup = 30;               // runs of each kind first, not counted
    int checkIns = 3000;           // reader check-in: card scanned, admitted and the visit recorded
    int counts = 3000;             // book counting
    int registrationReaders = 500; // reader and book registration: readers, each with books
    int registrationBooks = 3;
    int copyReaders = 500; // photocopy: readers, each lends books and brings them back
    int copyBooks = 2;
    int importCodes = 10000; // barcode import of counted books
};

// What the import of counted codes took.
struct ImportFigures
{
    int codes = 0;
    int counted = 0;
    double seconds = 0;
    qint64 statements = 0;
    double longestCodeMs = 0; // the longest stretch between two turns of the event loop
};

// Runs the desk's operations the way the desk window calls them after each scan, with random
// valid cards and items drawn from the generated ranges (seeded, so a run repeats).
//
// Each key's scans run four times, all on the desk session's connection: a first time, which gives
// the statements and brings the rows into the server's cache (timed apart as the first scan); its
// statements replayed untimed, which takes over the work the first scan leaves to the next
// visitor; then the desk again and the floor, in an order drawn at random for each key (seeded,
// apart from the keys), so that neither side keeps the place the machine favours.
class ScanRuns
{
public:
    ScanRuns(BenchDesk& desk, FloorSession& floor, quint64 seed);

    void checkIns(int runs, int warmup);
    void counting(int runs, int warmup);
    void registration(int readers, int books, int warmup);
    void photocopy(int readers, int books, int warmup);
    ImportFigures importCodes(int codes);

    QList<OperationFigures> figures() const { return m_figures; }

    // Every timed scan as a line "operation,first,desk,floor,statements" (nanoseconds), for a
    // closer look at the distributions.
    void writeSamplesTo(QIODevice* device) { m_samples = device; }

private:
    // One scan's statements and time as the desk took it.
    struct Capture
    {
        QList<QByteArray> statements;
        qint64 nanoseconds = 0;
        qint64 processor = 0;
        bool ok = false;
    };

    // One scan of a sequence: the operation it counts under and what the window does.
    struct Step
    {
        int figure;
        std::function<bool(DeskContext&)> scan;
    };

    Capture capture(const std::function<bool()>& scan);
    // Runs the steps on a copy of `desk` (three times, see above) and books them when timed. The
    // desk is left as the timed desk pass left it.
    void measure(DeskContext& desk, const QList<Step>& steps, bool timed);
    void noteRefusal(int figure);
    int figure(const QString& name);

    QString card();
    QStringList distinctItems(int count);
    DeskContext freshDesk(DeskMode mode) const;

    BenchDesk& m_bench;
    FloorSession& m_floor;
    std::mt19937_64 m_random;
    std::mt19937_64 m_order; // which of desk and floor goes first, key by key
    ReaderAdmission m_admission;
    QList<OperationFigures> m_figures;
    QString m_endReaderCode;
    QString m_copyReturnCode;
    QIODevice* m_samples = nullptr;
};
