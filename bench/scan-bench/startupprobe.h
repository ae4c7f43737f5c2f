#pragma once

#include "benchdesk.h"
#include "latency.h"

#include <QString>
#include <QStringList>

// Start-up times of the desk, from the moment the process is started: until the login window
// waits for the operator, and until the main window shows after the operator A001 logged in.
// Each run starts this program anew in its probe role, which goes through the desk's own start-up
// (the same steps as readdesk's main) in a program directory of its own with a tavorn.ini for the
// benchmark's database, offscreen.
struct StartupFigures
{
    LatencySamples toLogin;
    LatencySamples toMainWindow;
    double firstToLoginMs = 0;
    int failed = 0;
    QString failure; // what the first failed run printed
};

// The argument that makes this program the probe.
inline const QString StartupProbeArgument = QStringLiteral("--startup-probe");

StartupFigures measureStartup(const BenchTarget& target, const QString& workstation, int runs);

// The probe itself (in the child process): runs the desk's start-up, prints "login <ns>" and
// "main <ns>" (monotonic clock) on standard output, and returns the process's exit code.
int runStartupProbe(int argc, char* argv[]);
