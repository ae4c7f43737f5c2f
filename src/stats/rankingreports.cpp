// The reports of the ranking and rate windows: FrmBookTop ("rankings"), FrmLendRate ("rates"),
// frmRedrCount ("readers"), frmRedrLendCount ("visits") and frmUsingStat ("usage"), each the
// window's statistics under the options, with the window's grid and chart.
#include "rankingstatistics.h"
#include "readerrankstatistics.h"
#include "statconditions.h"
#include "statreports.h"
#include "usingstatistics.h"
#include "visitcountstatistics.h"

#include <QRegularExpression>

namespace {

constexpr int chartBars = 30;

StatPeriod periodOf(const ReportOptions& options)
{
    StatPeriod p;
    if (options.contains(QStringLiteral("year"))) {
        p.kind = StatPeriod::Year;
        p.year = options.value(QStringLiteral("year"));
    } else if (options.contains(QStringLiteral("month"))) {
        p.kind = StatPeriod::Month;
        p.year = options.value(QStringLiteral("month")).left(4);
        p.month = options.value(QStringLiteral("month")).mid(5, 2);
    } else {
        p.kind = StatPeriod::Range;
        p.beginDate = options.value(QStringLiteral("from"));
        p.endDate = options.value(QStringLiteral("to"));
    }
    return p;
}

int topOf(const ReportOptions& options, int preset)
{
    return options.contains(QStringLiteral("top")) ? options.value(QStringLiteral("top")).toInt() : preset;
}

QString checkTop(const ReportOptions& options)
{
    static const QRegularExpression count(QStringLiteral("^[1-9][0-9]{0,5}$"));
    if (options.contains(QStringLiteral("top")) &&
        !count.match(options.value(QStringLiteral("top"))).hasMatch())
        return QStringLiteral("--top takes a whole number above 0: ") + options.value(QStringLiteral("top"));
    return {};
}

// --rate as the window's operator and values: ">=1.5", "0.5~2".
bool rateTestOf(const QString& text, RankingConditions& c)
{
    static const QRegularExpression test(QStringLiteral("^(>=|<=|>|<|=)(.+)$"));
    const qsizetype tilde = text.indexOf(QLatin1Char('~'));
    if (tilde >= 0) {
        c.rateTest = RankingConditions::Between;
        c.rate = text.left(tilde).trimmed();
        c.rateTo = text.mid(tilde + 1).trimmed();
        return LIB_IsDecimal(c.rate) && LIB_IsDecimal(c.rateTo);
    }
    const QRegularExpressionMatch m = test.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    static const QStringList operators{QStringLiteral(">"), QStringLiteral("<"), QStringLiteral("="),
                                       QStringLiteral(">="), QStringLiteral("<=")};
    c.rateTest = RankingConditions::RateTest(operators.indexOf(m.captured(1)));
    c.rate = m.captured(2).trimmed();
    return LIB_IsDecimal(c.rate);
}

QString checkRanking(const ReportOptions& o, bool rates)
{
    if (!o.contains(QStringLiteral("template")))
        return QStringLiteral("this report needs --template");
    const QString order = o.value(QStringLiteral("order"), QStringLiteral("readings"));
    if (order != QLatin1String("readings") && order != QLatin1String("rate"))
        return QStringLiteral("--order takes readings or rate: ") + order;
    RankingConditions c;
    if (rates && !rateTestOf(o.value(QStringLiteral("rate")), c))
        return QStringLiteral("--rate takes >N, <N, =N, >=N, <=N or N~M: ") + o.value(QStringLiteral("rate"));
    const QString problem = checkTop(o);
    return problem.isEmpty() ? LIB_CheckReportNames(o) : problem;
}

int runRanking(const ReportOptions& o, ReportResult& result, RankingConditions::Window window)
{
    RankingConditions c;
    c.window = window;
    c.bookCounting = LIB_ReportMode(o) == QLatin1String("book-counting");
    c.statTypeCode = LIB_ReportTemplateCode(o);
    c.docTypeCode = o.value(QStringLiteral("doc-type"));
    c.languageCode = o.value(QStringLiteral("language"));
    c.location = LIB_ReportLocationName(o);
    c.period = periodOf(o);
    c.order =
        o.value(QStringLiteral("order")) == QLatin1String("rate") || window == RankingConditions::LendRate
            ? RankingConditions::ByRate
            : RankingConditions::ByReadings;
    if (window == RankingConditions::LendRate)
        rateTestOf(o.value(QStringLiteral("rate")), c);
    const int top = window == RankingConditions::BookTop ? topOf(o, 10) : 0;
    result.heading.title = window == RankingConditions::BookTop ? QStringLiteral("阅览图书排行榜")
                                                                : QStringLiteral("文献阅览率统计");
    result.heading.locationLine = QStringLiteral("馆藏地： ") + c.location;
    result.heading.periodLine = QStringLiteral("统计时期： ") + c.period.text();
    QList<RankedTitle> titles;
    if (RankingStatistics::run(c, top, titles) != 0)
        return -1;
    RankingStatistics::fill(titles, top, result.grid);
    result.chartLabelColumn = 1;
    result.chartColumns = {window == RankingConditions::BookTop ? 7 : 8};
    result.chartRowCount = std::min(result.grid.rowCount(), chartBars);
    return 0;
}

int runReaders(const ReportOptions& o, ReportResult& result)
{
    ReaderRankConditions c;
    c.checkIn = LIB_ReportMode(o) == QLatin1String("reader-check-in");
    c.period = periodOf(o);
    c.location = LIB_ReportLocationName(o);
    c.count = topOf(o, 10);
    result.heading.title = QStringLiteral("阅览读者排行榜");
    result.heading.locationLine = QStringLiteral("馆藏地：") + c.location;
    result.heading.periodLine = QStringLiteral("统计时间：") + c.period.text();
    if (ReaderRankStatistics::run(c, result.grid) != 0)
        return -1;
    result.chartLabelColumn = 2;
    result.chartColumns = {0};
    result.chartRowCount = result.grid.rowCount();
    return 0;
}

int runVisits(const ReportOptions& o, ReportResult& result)
{
    VisitCountConditions c;
    c.checkIn = LIB_ReportMode(o) == QLatin1String("reader-check-in");
    c.period = periodOf(o);
    c.location = LIB_ReportLocationName(o);
    result.heading.title = QStringLiteral("阅览读者人次统计");
    result.heading.locationLine = QStringLiteral("馆藏地：") + c.location;
    result.heading.periodLine = QStringLiteral("统计时期：") + c.period.text();
    StatTableModel grids[4];
    if (VisitCountStatistics::run(c, {&grids[0], &grids[1], &grids[2], &grids[3]}) != 0)
        return -1;
    static const QStringList groups{QStringLiteral("type"), QStringLiteral("unit"), QStringLiteral("grade"),
                                    QStringLiteral("department")};
    const int by = int(std::max<qsizetype>(0, groups.indexOf(o.value(QStringLiteral("by"), groups.first()))));
    result.grid.setTable(grids[by].headings(), grids[by].rows());
    result.chartColumns = by == 0 ? QList<int>{1, 2} : QList<int>{1};
    result.chartRowCount = std::max(0, result.grid.rowCount() - (by == 0 ? 1 : 2)); // without 其他 and 合计
    return 0;
}

int runUsage(const ReportOptions& o, ReportResult& result)
{
    UsingStatConditions c;
    c.bookCounting = LIB_ReportMode(o) == QLatin1String("book-counting");
    c.period = periodOf(o);
    c.location = LIB_ReportLocationName(o);
    c.count = topOf(o, 50);
    result.heading.title = QStringLiteral("图书利用率统计");
    result.heading.locationLine = QStringLiteral("馆藏地：") + c.location;
    result.heading.periodLine = QStringLiteral("统计时间：") + c.period.text();
    if (UsingStatistics::run(c, result.grid) != 0)
        return -1;
    result.chartLabelColumn = 3;
    result.chartColumns = {6};
    result.chartRowCount = std::min(result.grid.rowCount(), chartBars);
    return 0;
}

} // namespace

QList<ReportDefinition> LIB_RankingReports()
{
    const QStringList periods{QStringLiteral("year"), QStringLiteral("month"), QStringLiteral("range")};
    const QString location = QStringLiteral("location"), mode = QStringLiteral("mode"),
                  top = QStringLiteral("top");
    const QStringList ranking{QStringLiteral("template"), QStringLiteral("doc-type"),
                              QStringLiteral("language"), location, mode};
    return {
        {QStringLiteral("rankings"), QStringLiteral("阅览图书排行榜"),
         QStringLiteral("the most read titles of each class (period: year, month or range)"),
         LIB_ReportOptionsWithPeriods(ranking + QStringList{QStringLiteral("order"), top}, periods),
         [](const ReportOptions& o) { return checkRanking(o, false); },
         [](const ReportOptions& o, ReportResult& r) {
             return runRanking(o, r, RankingConditions::BookTop);
         }},
        {QStringLiteral("rates"), QStringLiteral("文献阅览率统计"),
         QStringLiteral(
             "titles of each class whose readings per copy meet --rate (period: year, month or range)"),
         LIB_ReportOptionsWithPeriods(ranking + QStringList{QStringLiteral("rate")}, periods),
         [](const ReportOptions& o) -> QString {
             return o.contains(QStringLiteral("rate")) ? checkRanking(o, true)
                                                       : QStringLiteral("rates needs --rate");
         },
         [](const ReportOptions& o, ReportResult& r) {
             return runRanking(o, r, RankingConditions::LendRate);
         }},
        {QStringLiteral("readers"), QStringLiteral("阅览读者排行榜"),
         QStringLiteral("the readers who came most often (period: year, month or range)"),
         LIB_ReportOptionsWithPeriods({location, mode, top}, periods),
         [](const ReportOptions& o) {
             const QString problem = checkTop(o);
             return problem.isEmpty() ? LIB_CheckReportNames(o) : problem;
         },
         runReaders},
        {QStringLiteral("visits"), QStringLiteral("阅览读者人次统计"),
         QStringLiteral(
             "readers and visits by reader type, unit, grade or department (period: year, month or range)"),
         LIB_ReportOptionsWithPeriods({location, mode, QStringLiteral("by")}, periods),
         [](const ReportOptions& o) -> QString {
             static const QStringList groups{QStringLiteral("type"), QStringLiteral("unit"),
                                             QStringLiteral("grade"), QStringLiteral("department")};
             if (o.contains(QStringLiteral("by")) && !groups.contains(o.value(QStringLiteral("by"))))
                 return QStringLiteral("--by takes type, unit, grade or department: ") +
                        o.value(QStringLiteral("by"));
             return LIB_CheckReportNames(o);
         },
         runVisits},
        {QStringLiteral("usage"), QStringLiteral("高利用率图书列表"),
         QStringLiteral("the call numbers most used per copy (period: year, month or range)"),
         LIB_ReportOptionsWithPeriods({location, mode, top}, periods),
         [](const ReportOptions& o) {
             const QString problem = checkTop(o);
             return problem.isEmpty() ? LIB_CheckReportNames(o) : problem;
         },
         runUsage},
    };
}
