#include "report.h"

namespace {

QString ms(double microseconds)
{
    return QString::number(microseconds / 1000.0, 'f', 3);
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("**missed**");
}

} // namespace

double ratio(double desk, double floor)
{
    return floor > 0 ? desk / floor : 0;
}

void printOperations(QTextStream& out, const QList<OperationFigures>& operations)
{
    out << "| operation | runs | statements | desk median | desk p95 | desk p99 | floor median | floor p95 | "
           "floor p99 | median ratio | p99 ratio | targets | first scan median | first scan p99 | processor: "
           "desk | "
           "processor: floor |\n"
        << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|---:|---:|---:|---:|\n";
    for (const OperationFigures& f : operations) {
        const LatencySummary d = f.desk.summary();
        const LatencySummary b = f.floor.summary();
        const double medianRatio = ratio(d.median, b.median);
        const double p99Ratio = ratio(d.p99, b.p99);
        const QString statements =
            f.fewestStatements == f.mostStatements
                ? QString::number(f.mostStatements)
                : QStringLiteral("%1–%2").arg(f.fewestStatements).arg(f.mostStatements);
        out << "| " << f.name << " | " << f.runs << " | " << statements << " | " << ms(d.median) << " | "
            << ms(d.p95) << " | " << ms(d.p99) << " | " << ms(b.median) << " | " << ms(b.p95) << " | "
            << ms(b.p99) << " | " << QString::number(medianRatio, 'f', 2) << " | "
            << QString::number(p99Ratio, 'f', 2) << " | "
            << verdict(f.runs > 0 && medianRatio <= Target::medianRatio && p99Ratio <= Target::p99Ratio)
            << " | " << ms(f.firstScan.summary().median) << " | " << ms(f.firstScan.summary().p99) << " | "
            << ms(f.deskProcessor.summary().median) << " | " << ms(f.floorProcessor.summary().median)
            << " |\n";
    }
    out << "\nTimes in milliseconds. Each key is scanned first (the first scan columns: rows still outside "
           "the server's cache), its statements are replayed once untimed, then the desk scans it again and "
           "the same statements are replayed with bare client calls (the floor), these two in an order drawn "
           "at random for each key, all on the desk session's connection. Processor: the median processor "
           "time the client process spent on the scan and on its replay (client work and its system calls; "
           "the server's share is not in it).\n";
    for (const OperationFigures& f : operations) {
        if (f.differing > 0)
            out << "\n"
                << f.name << ": " << f.differing
                << " scans sent another number of statements the second time than the first\n";
        if (f.refused > 0)
            out << "\n"
                << f.name << ": " << f.refused
                << " scans refused or failed; first messages: " << f.messages.join(QStringLiteral(" / "))
                << "\n";
    }
}

void printMachine(QTextStream& out, const QString& loadBefore, const FlushFigures& before,
                  const QString& loadAfter, const FlushFigures& after)
{
    out << "| the machine beside the scans | load average | round trip median | round trip p99 | flushed "
           "commit median | flushed commit p99 |\n"
        << "|---|---|---:|---:|---:|---:|\n";
    const auto row = [&out](const char* when, const QString& load, const FlushFigures& f) {
        out << "| " << when << " | " << load << " | " << ms(f.roundTrip.median) << " | "
            << ms(f.roundTrip.p99) << " | " << ms(f.committed.median) << " | " << ms(f.committed.p99)
            << " |\n";
    };
    row("before", loadBefore, before);
    row("after", loadAfter, after);
    out << "\nRound trip: `BEGIN; SELECT 1; COMMIT` (nothing to flush); flushed commit: `BEGIN; SELECT "
           "pg_logical_emit_message(true, 'scan-bench', ''); COMMIT` (a commit that wrote to the log and "
           "waits "
           "for its flush, as every writing scan does), 200 of each, interleaved, on the desk session's "
           "connection.\n";
    if (before.failed + after.failed > 0)
        out << "\n" << before.failed + after.failed << " probe statements failed.\n";
}

void printImport(QTextStream& out, const ImportFigures& import)
{
    out << "| import | codes | counted | statements | seconds | per code | longest stall | target |\n"
        << "|---|---:|---:|---:|---:|---:|---:|---|\n"
        << "| counted books | " << import.codes << " | " << import.counted << " | " << import.statements
        << " | " << QString::number(import.seconds, 'f', 2) << " | "
        << QString::number(import.codes ? import.seconds * 1000 / import.codes : 0, 'f', 3) << " ms | "
        << QString::number(import.longestCodeMs, 'f', 1) << " ms | "
        << verdict(import.codes > 0 && import.counted == import.codes &&
                   import.seconds * 10000.0 / import.codes < Target::importSeconds)
        << " (< " << Target::importSeconds << " s for 10,000) |\n";
}

void printStartup(QTextStream& out, const StartupFigures& startup, int runs)
{
    const LatencySummary login = startup.toLogin.summary();
    const LatencySummary main = startup.toMainWindow.summary();
    out << "| start-up (" << startup.toLogin.count() << " of " << runs
        << " runs) | first run | median | max | target |\n"
        << "|---|---:|---:|---:|---|\n"
        << "| process start → login window | " << QString::number(startup.firstToLoginMs, 'f', 0) << " ms | "
        << QString::number(login.median / 1000, 'f', 0) << " ms | "
        << QString::number(login.max / 1000, 'f', 0) << " ms | "
        << verdict(login.count > 0 && login.max < Target::loginMs * 1000) << " (< 1 s) |\n"
        << "| process start → main window (A001 logged in) | | "
        << QString::number(main.median / 1000, 'f', 0) << " ms | " << QString::number(main.max / 1000, 'f', 0)
        << " ms | |\n";
    if (startup.failed > 0)
        out << "\n" << startup.failed << " start-ups failed; the first said: " << startup.failure << "\n";
}

void printGrid(QTextStream& out, const GridFigures& grid)
{
    if (!grid.failure.isEmpty()) {
        out << "reading-log grid failed: " << grid.failure << "\n";
        return;
    }
    auto ms = [](double value) -> QString { return QString::number(value, 'f', 0) + QStringLiteral(" ms"); };
    const bool full = grid.rows >= 100000;
    const bool met = grid.totalMs < Target::gridMs && grid.longestStallMs <= Target::gridStallMs &&
                     grid.peakMb < Target::gridMemoryMb;
    out << "| reading-log window | rows | records | statements | log statement and rows | MARC records | "
           "total | floor | longest stall | memory | cancel | target |\n"
        << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n"
        << "| reader and book, " << grid.from << " – " << grid.to << " | " << grid.rows << " | "
        << grid.records << " | " << grid.statements << " | " << ms(grid.listMs) << " | " << ms(grid.titlesMs)
        << " | " << ms(grid.totalMs) << " | " << (grid.floorMs > 0 ? ms(grid.floorMs) : QStringLiteral("–"))
        << " | " << ms(grid.longestStallMs) << " | " << QString::number(grid.residentMb, 'f', 0)
        << " MB (peak " << QString::number(grid.peakMb, 'f', 0) << " MB) | "
        << (grid.cancelMs < 0 ? QStringLiteral("–")
                              : ms(grid.cancelMs) + (grid.cancelKeptRows ? QStringLiteral(", rows kept")
                                                                         : QStringLiteral(", rows lost")))
        << " | " << (full ? verdict(met) : QStringLiteral("held at 100,000 rows"))
        << " (< 3 s, stall ≤ 0.2 s, < 200 MB) |\n"
        << "\nProcessor time of the benchmark's process (window and loader threads) during the fill: "
        << ms(grid.processorMs) << "; the floor is the loader's statements replayed bare, one after another, "
        << "on the desk session's connection.\n";
}
