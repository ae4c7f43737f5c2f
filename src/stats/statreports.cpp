#include "statreports.h"

#include "bookstatistics.h"
#include "codes/codetables.h"
#include "db/database.h"
#include "jobstatistics.h"
#include "redrstatistics.h"
#include "statconditions.h"

#include <QDate>
#include <QRegularExpression>

namespace {

const QString yearOption = QStringLiteral("year");
const QString monthOption = QStringLiteral("month");
const QString dateOption = QStringLiteral("date");
const QString fromOption = QStringLiteral("from");
const QString toOption = QStringLiteral("to");
const QString templateOption = QStringLiteral("template");
const QString locationOption = QStringLiteral("location");
const QString modeOption = QStringLiteral("mode");
const QString workerOption = QStringLiteral("worker");
const QString jobsOption = QStringLiteral("jobs");

// The desk's reading modes by the names the option takes; reader-book is the one that counts
// the reader-book history.
const QStringList modeNames{QStringLiteral("book-counting"), QStringLiteral("reader-check-in"),
                            QStringLiteral("reader-book"),   QStringLiteral("identity-check"),
                            QStringLiteral("copy-lending"),  QStringLiteral("copy-return")};

bool isDate(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
}

bool isMonth(const QString& text)
{
    return QDate::fromString(text + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd")).isValid();
}

bool isYear(const QString& text)
{
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    return fourDigits.match(text).hasMatch();
}

// The location name of a name or code given as option (empty: all locations); null when unknown.
QString locationName(const ReportOptions& options)
{
    const QString given = options.value(locationOption);
    if (given.isEmpty() || given == StatConditions::allLocations())
        return StatConditions::allLocations();
    const ResultTable& locations = LIB_CodeTable(CodeTable::Locations);
    for (int row = 2; row < locations.recordCount() + 2; ++row)
        if (locations.text(0, row) == given || locations.text(1, row) == given)
            return locations.text(1, row);
    return {};
}

// The template code of a code or name given as option, among the templates offered; null when
// it is none of them (a failing read leaves the error record for the caller).
QString templateCode(const ReportOptions& options, QString* name = nullptr)
{
    const QString given = options.value(templateOption);
    ResultTable templates;
    if (LIB_LoadStatTemplates(templates) != 0)
        return {};
    for (int row = 2; row < templates.recordCount() + 2; ++row) {
        if (templates.text(1, row) == given || templates.text(0, row) == given) {
            if (name)
                *name = templates.text(0, row);
            return templates.text(1, row);
        }
    }
    return {};
}

QString checkNames(const ReportOptions& options)
{
    if (locationName(options).isNull())
        return QStringLiteral("unknown location: ") + options.value(locationOption);
    if (options.contains(templateOption) && templateCode(options).isNull())
        return QStringLiteral("unknown template: ") + options.value(templateOption) +
               QStringLiteral(" (a template code or name beginning with S or U)");
    return {};
}

QString locationLine(const QString& location)
{
    return QStringLiteral("馆藏地：") + location;
}

// The classification statistics of frmRedrStat.
int runClasses(const ReportOptions& options, ReportResult& result)
{
    StatConditions conditions;
    QString name;
    conditions.statTypeCode = templateCode(options, &name);
    conditions.location = locationName(options);
    if (options.contains(yearOption)) {
        conditions.periodKind = StatConditions::Year;
        conditions.year = options.value(yearOption);
    } else if (options.contains(monthOption)) {
        conditions.periodKind = StatConditions::Month;
        conditions.year = options.value(monthOption).left(4);
        conditions.month = options.value(monthOption).mid(5, 2);
    } else {
        conditions.periodKind = StatConditions::DateRange;
        conditions.beginDate = options.value(fromOption);
        conditions.endDate = options.value(toOption);
    }
    result.heading.title = QStringLiteral("阅览分类综合统计");
    result.heading.locationLine = locationLine(conditions.location);
    result.heading.periodLine = QStringLiteral("统计时间：") + conditions.periodText();
    if (RedrStatistics::run(conditions, result.grid) != 0)
        return -1;
    result.chartColumns.clear();
    for (int column = 2; column < result.grid.columnCount() - 2; ++column)
        result.chartColumns.append(column);
    result.chartRowCount = std::max(0, result.grid.rowCount() - 2);
    return 0;
}

// The book statistics of frmRead_BookStat.
int runBooks(const ReportOptions& options, ReportResult& result)
{
    BookStatConditions conditions;
    conditions.readerBookMode = options.value(modeOption) == QLatin1String("reader-book");
    conditions.statTypeCode = templateCode(options);
    conditions.location = locationName(options);
    QString periodText;
    if (options.contains(dateOption)) {
        conditions.period.kind = BookStatPeriod::Date;
        conditions.period.date = options.value(dateOption);
        periodText = conditions.period.date;
    } else if (options.contains(monthOption)) {
        conditions.period.kind = BookStatPeriod::Month;
        conditions.period.year = options.value(monthOption).left(4);
        conditions.period.month = options.value(monthOption).mid(5, 2);
        periodText = conditions.period.year + QStringLiteral("年 ") +
                     QString::number(conditions.period.month.toInt()) + QStringLiteral("月");
    } else {
        conditions.period.kind = BookStatPeriod::Year;
        conditions.period.year = options.value(yearOption);
        periodText = conditions.period.year + QStringLiteral("年");
    }
    result.heading.title = QStringLiteral("阅览图书分类统计");
    result.heading.locationLine = locationLine(conditions.location);
    result.heading.periodLine = QStringLiteral("统计时间：") + periodText;
    if (BookStatistics::run(conditions, result.grid) != 0)
        return -1;
    result.chartColumns = {2, 3};
    result.chartRowCount = std::max(0, result.grid.rowCount() - 1);
    return 0;
}

// The workload of frmStatJob, for the worker given.
int runWorkload(const ReportOptions& options, ReportResult& result)
{
    JobStatistics statistics;
    if (statistics.loadJobTypes(options.value(jobsOption, QStringLiteral("4%")), result.grid) != 0)
        return -1;
    JobStatistics::Kind kind = JobStatistics::Range;
    QString day;
    QString periodText = options.value(fromOption) + QStringLiteral(" 至 ") + options.value(toOption);
    if (options.contains(yearOption)) {
        kind = JobStatistics::Year;
        day = options.value(yearOption) + QStringLiteral("-01-01");
        periodText = options.value(yearOption);
    } else if (options.contains(monthOption)) {
        kind = JobStatistics::Month;
        day = options.value(monthOption) + QStringLiteral("-01");
        periodText = options.value(monthOption);
    } else if (options.contains(dateOption)) {
        kind = JobStatistics::Day;
        day = options.value(dateOption);
        periodText = day;
    }
    const QString worker = options.value(workerOption);
    result.heading.title = QStringLiteral("工作量统计");
    result.heading.locationLine = QStringLiteral("工号：") + worker;
    result.heading.periodLine = QStringLiteral("统计时间：") + periodText;
    if (statistics.run(worker, kind, day, options.value(fromOption), options.value(toOption), result.grid) !=
        0)
        return -1;
    result.chartColumns = {1, 2};
    result.chartRowCount = result.grid.rowCount();
    return 0;
}

// The period options a report takes, as one of the forms it allows.
QString checkPeriod(const ReportOptions& options, const QStringList& allowed)
{
    QStringList given;
    for (const QString& name : {yearOption, monthOption, dateOption, fromOption, toOption})
        if (options.contains(name))
            given.append(name);
    const bool range = given == QStringList{fromOption, toOption};
    if (!(given.size() == 1 && given.first() != fromOption && given.first() != toOption) && !range)
        return QStringLiteral("give one period: ") +
               allowed.join(QStringLiteral(", "))
                   .replace(QStringLiteral("range"), QStringLiteral("--from and --to"));
    const QString kind = range ? QStringLiteral("range") : given.first();
    if (!allowed.contains(kind))
        return QStringLiteral("this report takes no --") + kind;
    if (options.contains(yearOption) && !isYear(options.value(yearOption)))
        return QStringLiteral("--year takes four digits: ") + options.value(yearOption);
    if (options.contains(monthOption) && !isMonth(options.value(monthOption)))
        return QStringLiteral("--month takes yyyy-mm: ") + options.value(monthOption);
    for (const QString& name : {dateOption, fromOption, toOption})
        if (options.contains(name) && !isDate(options.value(name)))
            return QStringLiteral("--") + name + QStringLiteral(" takes yyyy-mm-dd: ") + options.value(name);
    return {};
}

QStringList withPeriods(QStringList options, const QStringList& periods)
{
    for (const QString& period : periods)
        options += period == QLatin1String("range") ? QStringList{fromOption, toOption} : QStringList{period};
    return options;
}

} // namespace

const QList<ReportOption>& LIB_ReportOptions()
{
    static const QList<ReportOption> options{
        {templateOption, QStringLiteral("CODE|NAME"),
         QStringLiteral("the statistics template (its code or name)")},
        {locationOption, QStringLiteral("CODE|NAME"),
         QStringLiteral("one location; every location when left out")},
        {yearOption, QStringLiteral("YYYY"), QStringLiteral("the period: a year")},
        {monthOption, QStringLiteral("YYYY-MM"), QStringLiteral("the period: a month")},
        {dateOption, QStringLiteral("YYYY-MM-DD"), QStringLiteral("the period: a day")},
        {fromOption, QStringLiteral("YYYY-MM-DD"), QStringLiteral("the period: from this day (with --to)")},
        {toOption, QStringLiteral("YYYY-MM-DD"), QStringLiteral("the period: to this day (with --from)")},
        {modeOption, QStringLiteral("MODE"),
         QStringLiteral("the desk's reading mode: ") + modeNames.join(QStringLiteral(", ")) +
             QStringLiteral(" (default book-counting); it chooses the history or log as the window does")},
        {workerOption, QStringLiteral("NUMBER"),
         QStringLiteral("the staff number whose workload is counted")},
        {jobsOption, QStringLiteral("PATTERN"), QStringLiteral("the job types listed (default 4%)")},
        {QStringLiteral("doc-type"), QStringLiteral("CODE"),
         QStringLiteral("one document type; every one when left out")},
        {QStringLiteral("language"), QStringLiteral("CODE"),
         QStringLiteral("one language; every one when left out")},
        {QStringLiteral("order"), QStringLiteral("ORDER"),
         QStringLiteral("rank by readings (default) or by rate, readings per copy")},
        {QStringLiteral("rate"), QStringLiteral("TEST"),
         QStringLiteral("the rate condition: >N, <N, =N, >=N, <=N or N~M (from N to M)")},
        {QStringLiteral("by"), QStringLiteral("GROUP"),
         QStringLiteral("the grid: type (default), unit, grade or department")},
        {QStringLiteral("top"), QStringLiteral("N"),
         QStringLiteral("how many: titles per class (default 10), readers (10) or call numbers (50)")},
    };
    return options;
}

const QList<ReportDefinition>& LIB_Reports()
{
    static const QList<ReportDefinition> reports = [] {
        QList<ReportDefinition> list{
            {QStringLiteral("classes"), QStringLiteral("阅览分类综合统计"),
             QStringLiteral("reader-book events per class and reader type (period: year, month or range)"),
             withPeriods({templateOption, locationOption},
                         {yearOption, monthOption, QStringLiteral("range")}),
             [](const ReportOptions& o) {
                 if (!o.contains(templateOption))
                     return QStringLiteral("classes needs --template");
                 return checkNames(o);
             },
             runClasses},
            {QStringLiteral("books"), QStringLiteral("阅览图书分类统计"),
             QStringLiteral("titles and items read per class (period: date, month or year)"),
             withPeriods({templateOption, locationOption, modeOption}, {dateOption, monthOption, yearOption}),
             [](const ReportOptions& o) {
                 if (!o.contains(templateOption))
                     return QStringLiteral("books needs --template");
                 return checkNames(o);
             },
             runBooks},
            {QStringLiteral("workload"), QStringLiteral("工作量统计"),
             QStringLiteral("one worker's workload per job type (period: year, month, date or range)"),
             withPeriods({workerOption, jobsOption},
                         {yearOption, monthOption, dateOption, QStringLiteral("range")}),
             [](const ReportOptions& o) {
                 return o.value(workerOption).isEmpty() ? QStringLiteral("workload needs --worker")
                                                        : QString();
             },
             runWorkload},
        };
        return list + LIB_RankingReports();
    }();
    return reports;
}

QString LIB_ReportLocationName(const ReportOptions& options)
{
    return locationName(options);
}

QString LIB_ReportTemplateCode(const ReportOptions& options, QString* name)
{
    return templateCode(options, name);
}

QString LIB_CheckReportNames(const ReportOptions& options)
{
    return checkNames(options);
}

QString LIB_ReportMode(const ReportOptions& options)
{
    return options.value(modeOption, modeNames.first());
}

QStringList LIB_ReportOptionsWithPeriods(QStringList options, const QStringList& periods)
{
    return withPeriods(options, periods);
}

const ReportDefinition* LIB_FindReport(const QString& name)
{
    for (const ReportDefinition& report : LIB_Reports())
        if (report.name == name)
            return &report;
    return nullptr;
}

QString LIB_CheckReportOptionForms(const ReportDefinition& report, const ReportOptions& options)
{
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        if (!report.options.contains(it.key()))
            return report.name + QStringLiteral(" takes no --") + it.key();
    if (options.contains(modeOption) && !modeNames.contains(options.value(modeOption)))
        return QStringLiteral("unknown --mode: ") + options.value(modeOption);
    QStringList periods;
    for (const QString& name : {yearOption, monthOption, dateOption})
        if (report.options.contains(name))
            periods.append(name);
    if (report.options.contains(fromOption))
        periods.append(QStringLiteral("range"));
    return checkPeriod(options, periods);
}
