#pragma once

#include "flushprobe.h"
#include "loggrid.h"
#include "scanruns.h"
#include "startupprobe.h"

#include <QString>
#include <QTextStream>

// The targets the figures are held against.
namespace Target {
constexpr double medianRatio = 1.2;  // desk median at most this times the floor's median
constexpr double p99Ratio = 1.5;     // desk p99 at most this times the floor's p99
constexpr double loginMs = 1000;     // process start to the login window
constexpr double importSeconds = 30; // 10,000 counted codes
constexpr double gridMs = 3000;      // 100,000 log rows with titles
constexpr double gridStallMs = 200;  // the window's event loop meanwhile
constexpr double gridMemoryMb = 200; // the process after the fill
} // namespace Target

// The ratio of a desk figure to its floor; 0 when there is no floor.
double ratio(double desk, double floor);

// Markdown tables, ready for bench/RESULTS.md.
void printOperations(QTextStream& out, const QList<OperationFigures>& operations);
void printImport(QTextStream& out, const ImportFigures& import);
// The load average and the flush probe before and after the scans.
void printMachine(QTextStream& out, const QString& loadBefore, const FlushFigures& before,
                  const QString& loadAfter, const FlushFigures& after);
void printStartup(QTextStream& out, const StartupFigures& startup, int runs);
void printGrid(QTextStream& out, const GridFigures& grid);
