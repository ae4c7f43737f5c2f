// scan-bench: how fast the desk answers a scan against a library-scale database, beside what the
// server alone needs for the same statements; how long the desk takes to start; how long the
// reading-log grid takes to fill. See bench/README.md.
#include "benchdesk.h"
#include "floorsession.h"
#include "flushprobe.h"
#include "report.h"
#include "scanruns.h"
#include "startup/applicationtitle.h"
#include "startupprobe.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>

namespace {

QString environmentOr(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QString cpuModel()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("model name"))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
    }
    return {};
}

QString memoryTotal()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> first = file.readLine().simplified().split(' ');
    return first.size() >= 2
               ? QString::number(first.at(1).toDouble() / 1024 / 1024, 'f', 1) + QStringLiteral(" GiB")
               : QString();
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).section(QLatin1Char(' '), 0, 2)
                                          : QString();
}

void printPlans(QTextStream& out, FloorSession& floor, const QList<OperationFigures>& operations)
{
    out << "\n## Plans of the statements of one scan each\n";
    for (const OperationFigures& f : operations) {
        out << "\n### " << f.name << "\n\n```\n";
        floor.rows("BEGIN");
        for (const QByteArray& statement : f.sample) {
            out << statement << "\n";
            if (!statement.trimmed().toUpper().startsWith("SELECT"))
                continue;
            for (const QString& line :
                 floor.rows("EXPLAIN (ANALYZE, BUFFERS, COSTS OFF, TIMING OFF) " + statement))
                out << "    " << line << "\n";
        }
        floor.rows("ROLLBACK");
        out << "```\n";
    }
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == StartupProbeArgument)
            return runStartupProbe(argc, argv);
    }
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavorn"));
    QApplication::setApplicationName(LIB_ApplicationTitle());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Scan latency of the desk's operations beside their floor, start-up times and the reading-log grid, "
        "against a database made by bench/generate/generate-library.sh."));
    parser.addHelpOption();
    const QString var = environmentOr("READDESK_VAR", QStringLiteral(READDESK_SOURCE_DIR "/var"));
    QCommandLineOption db({QStringLiteral("d"), QStringLiteral("db")},
                          QStringLiteral("database (default $READDESK_BENCH_DB, else library_big)"),
                          QStringLiteral("name"),
                          environmentOr("READDESK_BENCH_DB", QStringLiteral("library_big")));
    QCommandLineOption host(QStringLiteral("host"),
                            QStringLiteral("server socket directory or host (default $READDESK_VAR/run)"),
                            QStringLiteral("host"), var + QStringLiteral("/run"));
    QCommandLineOption port(
        QStringLiteral("port"), QStringLiteral("server port (default $READDESK_PGPORT, else 54329)"),
        QStringLiteral("port"), environmentOr("READDESK_PGPORT", QStringLiteral("54329")));
    QCommandLineOption user(QStringLiteral("user"), QStringLiteral("database user"), QStringLiteral("user"),
                            QStringLiteral("readdesk"));
    QCommandLineOption password(QStringLiteral("password"), QStringLiteral("database password"),
                                QStringLiteral("password"), QStringLiteral("readdesk"));
    QCommandLineOption quick(QStringLiteral("quick"),
                             QStringLiteral("a small run of every part, seconds long (for CI)"));
    QCommandLineOption scans(QStringLiteral("scans"),
                             QStringLiteral("timed check-ins and countings (default 3000; "
                                            "registration and photocopy readers a sixth of it)"),
                             QStringLiteral("n"));
    QCommandLineOption seed(QStringLiteral("seed"),
                            QStringLiteral("seed of the random cards and items (default 1)"),
                            QStringLiteral("n"), QStringLiteral("1"));
    QCommandLineOption only(QStringLiteral("only"),
                            QStringLiteral("comma-separated parts: scans, import, startup, grid "
                                           "(default all)"),
                            QStringLiteral("parts"));
    QCommandLineOption gridRows(QStringLiteral("grid-rows"),
                                QStringLiteral("rows of the reading-log grid (default 100000)"),
                                QStringLiteral("n"));
    QCommandLineOption importCodes(QStringLiteral("import-codes"),
                                   QStringLiteral("codes of the import (default 10000)"),
                                   QStringLiteral("n"));
    QCommandLineOption startups(QStringLiteral("startups"), QStringLiteral("start-ups to time (default 5)"),
                                QStringLiteral("n"));
    QCommandLineOption samples(QStringLiteral("samples"),
                               QStringLiteral("write every timed scan to this CSV file"),
                               QStringLiteral("file"));
    QCommandLineOption explain(QStringLiteral("explain"),
                               QStringLiteral("also print the plan of every query of one scan of each kind"));
    parser.addOptions({db, host, port, user, password, quick, scans, seed, only, gridRows, importCodes,
                       startups, samples, explain});
    parser.process(app);

    const bool small = parser.isSet(quick);
    ScanPlan plan;
    int gridSize = 100000;
    int startupRuns = 5;
    if (small) {
        plan = {5, 100, 100, 20, 3, 20, 2, 300};
        gridSize = 3000;
        startupRuns = 1;
    }
    if (parser.isSet(scans)) {
        const int n = std::max(1, parser.value(scans).toInt());
        plan.checkIns = plan.counts = n;
        plan.registrationReaders = plan.copyReaders = std::max(1, n / 6);
    }
    if (parser.isSet(gridRows))
        gridSize = parser.value(gridRows).toInt();
    if (parser.isSet(importCodes))
        plan.importCodes = parser.value(importCodes).toInt();
    if (parser.isSet(startups))
        startupRuns = parser.value(startups).toInt();
    const QStringList parts = parser.isSet(only)
                                  ? parser.value(only).split(QLatin1Char(','), Qt::SkipEmptyParts)
                                  : QStringList{QStringLiteral("scans"), QStringLiteral("import"),
                                                QStringLiteral("startup"), QStringLiteral("grid")};

    BenchTarget target;
    target.connection.dsn = QStringLiteral("host=%1 port=%2 dbname=%3")
                                .arg(parser.value(host), parser.value(port), parser.value(db));
    target.connection.user = parser.value(user);
    target.connection.password = parser.value(password);

    QTextStream out(stdout);
    QTextStream err(stderr);
    BenchDesk desk(target);
    if (!desk.open() || !desk.loadKeys()) {
        err << "scan-bench: " << desk.error() << "\n";
        return 2;
    }
    FloorSession floor;
    if (!floor.connect(target.connection)) {
        err << "scan-bench: floor connection: " << floor.error() << "\n";
        return 2;
    }

    out << "# scan-bench " << QDateTime::currentDateTime().toString(Qt::ISODate) << "\n\n"
        << "Database `" << parser.value(db) << "` (" << target.connection.dsn << "), desk " << target.location
        << ", operator " << target.worker << ", seed " << parser.value(seed) << (small ? ", quick run" : "")
        << ".\n"
        << "Machine: " << QThread::idealThreadCount() << " processors (" << cpuModel() << "), "
        << memoryTotal() << ", " << QSysInfo::prettyProductName() << ", load average at start "
        << loadAverage() << ".\n\n";
    out.flush();

    // Start-up and the grid first: the grid then lists the generated log, before the scans add to it.
    if (parts.contains(QStringLiteral("startup"))) {
        out << "## Start-up\n\n";
        printStartup(out, measureStartup(target, desk.workstation(), startupRuns), startupRuns);
        out << "\n";
        out.flush();
    }
    if (parts.contains(QStringLiteral("grid"))) {
        out << "## Reading-log grid\n\n";
        printGrid(out, fillReadingLogWindow(gridSize, &floor));
        out << "\n";
        out.flush();
    }
    if (parts.contains(QStringLiteral("scans"))) {
        ScanRuns runs(desk, floor, parser.value(seed).toULongLong());
        QFile samplesFile(parser.value(samples));
        if (parser.isSet(samples)) {
            if (!samplesFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                err << "scan-bench: cannot write " << samplesFile.fileName() << "\n";
                return 2;
            }
            samplesFile.write("operation,first_scan_ns,desk_ns,floor_ns,statements\n");
            runs.writeSamplesTo(&samplesFile);
        }
        const int probes = small ? 20 : 200;
        const QString loadBefore = loadAverage();
        const FlushFigures flushBefore = measureFlush(probes);
        runs.checkIns(plan.checkIns, plan.warmup);
        runs.counting(plan.counts, plan.warmup);
        runs.registration(plan.registrationReaders, plan.registrationBooks, plan.warmup / 3 + 1);
        runs.photocopy(plan.copyReaders, plan.copyBooks, plan.warmup / 3 + 1);
        const QString loadAfter = loadAverage();
        const FlushFigures flushAfter = measureFlush(probes);
        out << "## Scans\n\n";
        printMachine(out, loadBefore, flushBefore, loadAfter, flushAfter);
        out << "\n";
        printOperations(out, runs.figures());
        if (floor.failures() > 0)
            out << "\nThe floor's replays had " << floor.failures()
                << " refused statements; the last: " << floor.lastFailure() << "\n";
        out << "\n";
        out.flush();
        if (parser.isSet(explain))
            printPlans(out, floor, runs.figures());
    }
    if (parts.contains(QStringLiteral("import"))) {
        ScanRuns runs(desk, floor, parser.value(seed).toULongLong() + 1);
        out << "## Barcode import\n\n";
        printImport(out, runs.importCodes(plan.importCodes));
        out << "\n";
        out.flush();
    }
    out << "Load average at the end " << loadAverage() << ".\n";
    return 0;
}
