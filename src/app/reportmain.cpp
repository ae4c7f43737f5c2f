// readdesk-report: the desk's statistics without a window, so that a library can produce its
// figures from cron. Reads tavorn.ini like readdesk (its own directory, or $TAVORN_HOME), runs
// one report with the windows' statistics and writes the grid as CSV, PDF or a workbook.
// Exit status: 0 done, 1 the database or a file failed, 2 the command line is wrong.
#include "codes/codetables.h"
#include "db/database.h"
#include "db/errorrecord.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/statisticssession.h"
#include "db/sysparams.h"
#include "info/marcindexparams.h"
#include "startup/applicationtitle.h"
#include "startup/environment.h"
#include "stats/reportwriters.h"
#include "stats/statchartpanel.h"
#include "stats/statreports.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <cstdio>

namespace {

enum ExitStatus { Done = 0, Failed = 1, Usage = 2 };

void say(const QString& text)
{
    std::fprintf(stderr, "readdesk-report: %s\n", text.toUtf8().constData());
}

// Message boxes become lines on standard error, answered with their default button.
class ReportPresenter : public MessagePresenter
{
public:
    int show(const Box& box) override
    {
        say(box.text);
        return box.buttons == Buttons::OkCancel && box.cancelIsDefault ? 2 : 1;
    }
};

QString helpText()
{
    QString text =
        QStringLiteral("Usage: readdesk-report REPORT [options]\n\n"
                       "Runs one of the desk's statistics under the given conditions and writes its "
                       "grid.\nReads tavorn.ini in its own directory, or in $TAVORN_HOME.\n\nReports:\n");
    for (const ReportDefinition& report : LIB_Reports())
        text += QStringLiteral("  %1  %2: %3\n").arg(report.name, -10).arg(report.title, report.summary);
    text += QStringLiteral("\nOptions:\n");
    auto line = [&text](const QString& option, const QString& help) {
        text += QStringLiteral("  %1 %2\n").arg(option, -26).arg(help);
    };
    for (const ReportOption& option : LIB_ReportOptions()) {
        QStringList takers;
        for (const ReportDefinition& report : LIB_Reports())
            if (report.options.contains(option.name))
                takers.append(report.name);
        line(QStringLiteral("--") + option.name + QLatin1Char(' ') + option.valueName,
             option.help + QStringLiteral(" [") + takers.join(QStringLiteral(", ")) + QLatin1Char(']'));
    }
    line(QStringLiteral("--output FILE"), QStringLiteral("the file, its format by extension: ") +
                                              LIB_ReportFormats().join(QStringLiteral(", ")) +
                                              QStringLiteral("; CSV on standard output when left out"));
    line(QStringLiteral("--chart FILE.png"), QStringLiteral("also the window's bar chart as a PNG picture"));
    line(QStringLiteral("--help"), QStringLiteral("this text"));
    text += QStringLiteral("\nExit status: 0 done, 1 database or file failure, 2 wrong command line.\n");
    return text;
}

// The database, the messages and the code tables, as the desk loads them before its login.
bool connect()
{
    if (LIB_ReadEnvironment() != 0) {
        say(QStringLiteral("cannot read tavorn.ini in ") + Environment::instance().programDirectory());
        return false;
    }
    if (LIB_DB_Connect() != 0) {
        LIB_DB_ShowError();
        return false;
    }
    if (LIB_LoadBaseData() != 0)
        return false;
    if (LIB_LoadCodeTables() != 0) {
        LIB_DB_ShowError();
        return false;
    }
    // The bibliographic elements of the usage report read the records by the index groups.
    if (MarcIndexParameters::instance().load() != 0) {
        LIB_DB_ShowError();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // Run from cron there is no screen; the PDF and the chart are drawn offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; without one it says so on standard error every run.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime =
            QDir::tempPath() + QStringLiteral("/readdesk-report-") + qEnvironmentVariable("USER");
        if (QDir().mkpath(runtime) &&
            QFile::setPermissions(runtime,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavorn"));
    QApplication::setApplicationName(LIB_ApplicationTitle());
    LIB_SetMessagePresenter(std::make_unique<ReportPresenter>());
    LIB_DB_SetErrorObserver([](const ErrorRecord& error) {
        if (error.code != ErrorRecord::None)
            say(QStringLiteral("database error: ") + error.description);
    });

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("report"), QString());
    for (const ReportOption& option : LIB_ReportOptions())
        parser.addOption({option.name, option.help, option.valueName});
    parser.addOption({QStringLiteral("output"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("chart"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("help"), QString()});
    if (!parser.parse(QApplication::arguments())) {
        say(parser.errorText() + QStringLiteral(" (see --help)"));
        return Usage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(helpText().toUtf8().constData(), stdout);
        return Done;
    }
    const QStringList positional = parser.positionalArguments();
    const ReportDefinition* report = positional.size() == 1 ? LIB_FindReport(positional.first()) : nullptr;
    if (!report) {
        say(positional.isEmpty() ? QStringLiteral("name a report (see --help)")
                                 : QStringLiteral("unknown report: ") + positional.join(QLatin1Char(' ')) +
                                       QStringLiteral(" (see --help)"));
        return Usage;
    }
    ReportOptions options;
    for (const ReportOption& option : LIB_ReportOptions())
        if (parser.isSet(option.name))
            options.insert(option.name, parser.value(option.name));
    const QString output =
        parser.isSet(QStringLiteral("output")) ? parser.value(QStringLiteral("output")) : QStringLiteral("-");
    const ReportWriter writer =
        output == QLatin1String("-") ? LIB_WriteReportCsv : LIB_ReportWriter(QFileInfo(output).suffix());
    const QString chart = parser.value(QStringLiteral("chart"));
    QString problem = LIB_CheckReportOptionForms(*report, options);
    if (problem.isEmpty() && !writer)
        problem = QStringLiteral("cannot write .") + QFileInfo(output).suffix() + QStringLiteral(" files (") +
                  LIB_ReportFormats().join(QStringLiteral(", ")) + QLatin1Char(')');
    if (problem.isEmpty() && parser.isSet(QStringLiteral("chart")) &&
        !chart.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        problem = QStringLiteral("--chart takes a .png file");
    if (!problem.isEmpty()) {
        say(problem);
        return Usage;
    }

    if (!connect())
        return Failed;
    problem = report->check(options);
    if (LIB_DB_Error().code != ErrorRecord::None) {
        LIB_DB_ShowError();
        return Failed;
    }
    if (!problem.isEmpty()) {
        say(problem);
        return Usage;
    }
    ReportResult result;
    const int status = report->run(options, result);
    // Figures from the primary although a read replica is configured: say why.
    if (!LIB_StatisticsNotice().isEmpty())
        say(LIB_StatisticsNotice());
    if (status != 0)
        return Failed;
    result.heading.date = LIB_DB_ServerDate().left(10);
    result.heading.staff = options.value(QStringLiteral("worker"), Environment::instance().connection.user);
    QString error;
    if (writer(output, result, error) != 0) {
        say(error);
        return Failed;
    }
    if (!chart.isEmpty() &&
        !LIB_StatChartPicture(result.heading.title, result.grid, result.chartLabelColumn, result.chartColumns,
                              0, result.chartRowCount, QSize(1000, 600))
             .save(chart, "PNG")) {
        say(QStringLiteral("cannot write ") + chart);
        return Failed;
    }
    LIB_DB_Close();
    return Done;
}
