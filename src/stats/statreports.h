#pragma once

// The statistics that readdesk-report runs without a window: each report is one window's
// statistics under conditions given as options, with the window's grid as its result. A report
// of a later window (the rankings) is one more entry of LIB_Reports().

#include "statprint.h"
#include "stattablemodel.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

// The options of a run by name (without "--"), as given.
using ReportOptions = QMap<QString, QString>;

// An option a report may take, for the help text and the check of the command line.
struct ReportOption
{
    QString name;
    QString valueName; // empty for a switch
    QString help;
};

// What a report hands to the writers: the print heading and the grid, and the rows and columns
// its chart draws.
struct ReportResult
{
    StatHeading heading;
    StatTableModel grid;
    int chartLabelColumn = 0;
    QList<int> chartColumns;
    int chartRowCount = 0; // from the first row
};

struct ReportDefinition
{
    QString name;
    QString title;
    QString summary;
    QStringList options; // names of the ReportOption entries it takes
    // The options' problems as a message (empty when they are fine); may read the code tables.
    std::function<QString(const ReportOptions&)> check;
    // 0, or -1 after a database failure (shown through the error reporter).
    std::function<int(const ReportOptions&, ReportResult&)> run;
};

const QList<ReportOption>& LIB_ReportOptions();
// The reports of the ranking and rate windows (rankingreports.cpp), part of LIB_Reports().
QList<ReportDefinition> LIB_RankingReports();
const QList<ReportDefinition>& LIB_Reports();
const ReportDefinition* LIB_FindReport(const QString& name);

// Checks that only the report's own options are given and that each is well-formed, before the
// database is asked anything; the message of the first problem, or empty.
QString LIB_CheckReportOptionForms(const ReportDefinition& report, const ReportOptions& options);

// Helpers the report definitions share: the location name of --location ("所有馆藏地" when
// left out, null when unknown), the template code of --template (null when unknown), the check
// of both, the reading mode of --mode, and the option list with the periods a report takes
// ("year", "month", "date", "range").
QString LIB_ReportLocationName(const ReportOptions& options);
QString LIB_ReportTemplateCode(const ReportOptions& options, QString* name = nullptr);
QString LIB_CheckReportNames(const ReportOptions& options);
QString LIB_ReportMode(const ReportOptions& options);
QStringList LIB_ReportOptionsWithPeriods(QStringList options, const QStringList& periods);
