#pragma once

// The figures of a statistics window run in-process as the window runs them, under conditions
// written as readdesk-report's options, for the tests that get the same figures another way
// (the report program, the statistics standby).

#include "stats/bookstatistics.h"
#include "stats/jobstatistics.h"
#include "stats/rankingstatistics.h"
#include "stats/readerrankstatistics.h"
#include "stats/redrstatistics.h"
#include "stats/statconditions.h"
#include "stats/stattablemodel.h"
#include "stats/usingstatistics.h"
#include "stats/visitcountstatistics.h"

#include <QRegularExpression>

// The heading row, then the rows.
inline QList<QStringList> gridOf(const StatTableModel& grid)
{
    return QList<QStringList>{grid.headings()} + grid.rows();
}

// `report` is a report's name, `arguments` its options ("--year 2024 --location R1 ..."; the
// template "中图法五大部类" is S02, the location R1 第一阅览室). Visits give the grid of --by, or
// all four one after the other without it. 0 when the statistics ran, else not 0.
inline int windowFigures(const QString& report, const QStringList& arguments, QList<QStringList>& figures)
{
    auto option = [&arguments](const char* name) {
        const qsizetype at = arguments.indexOf(QLatin1String("--") + QLatin1String(name));
        return at < 0 ? QString() : arguments.value(at + 1);
    };
    const QString location = option("location").isEmpty()                ? StatConditions::allLocations()
                             : option("location") == QLatin1String("R1") ? QStringLiteral("第一阅览室")
                                                                         : option("location");
    const QString templateCode =
        option("template") == QStringLiteral("中图法五大部类") ? QStringLiteral("S02") : option("template");
    const QString mode = option("mode").isEmpty() ? QStringLiteral("book-counting") : option("mode");
    StatPeriod period;
    period.kind = !option("year").isEmpty()    ? StatPeriod::Year
                  : !option("month").isEmpty() ? StatPeriod::Month
                                               : StatPeriod::Range;
    period.year = option("year").isEmpty() ? option("month").left(4) : option("year");
    period.month = option("month").mid(5);
    period.beginDate = option("from");
    period.endDate = option("to");
    const int top = option("top").toInt();

    int status = 0;
    StatTableModel grid;
    if (report == QLatin1String("classes")) {
        StatConditions c;
        c.statTypeCode = templateCode;
        c.location = location;
        c.periodKind = period.kind == StatPeriod::Range  ? StatConditions::DateRange
                       : period.kind == StatPeriod::Year ? StatConditions::Year
                                                         : StatConditions::Month;
        c.year = period.year;
        c.month = period.month;
        c.beginDate = period.beginDate;
        c.endDate = period.endDate;
        status = RedrStatistics::run(c, grid);
    } else if (report == QLatin1String("books")) {
        BookStatConditions c;
        c.readerBookMode = mode == QLatin1String("reader-book");
        c.statTypeCode = templateCode;
        c.location = location;
        c.period.kind = period.kind == StatPeriod::Year ? BookStatPeriod::Year : BookStatPeriod::Month;
        c.period.year = period.year;
        c.period.month = period.month;
        status = BookStatistics::run(c, grid);
    } else if (report == QLatin1String("workload")) {
        JobStatistics job;
        const bool year = period.kind == StatPeriod::Year;
        status = job.loadJobTypes(QStringLiteral("4%"), grid) ||
                 job.run(option("worker"), year ? JobStatistics::Year : JobStatistics::Month,
                         period.year + (year ? QStringLiteral("-01-01") : "-" + period.month + "-01"), {}, {},
                         grid);
    } else if (report == QLatin1String("rankings") || report == QLatin1String("rates")) {
        RankingConditions c;
        c.window =
            report == QLatin1String("rates") ? RankingConditions::LendRate : RankingConditions::BookTop;
        c.bookCounting = mode == QLatin1String("book-counting");
        c.statTypeCode = templateCode;
        c.location = location;
        c.period = period;
        c.rate = option("rate").remove(QRegularExpression(QStringLiteral("^>=")));
        QList<RankedTitle> titles;
        status = RankingStatistics::run(c, top, titles);
        RankingStatistics::fill(titles, top, grid);
    } else if (report == QLatin1String("readers")) {
        ReaderRankConditions c;
        c.checkIn = mode == QLatin1String("reader-check-in");
        c.period = period;
        c.location = location;
        if (top > 0)
            c.count = top;
        status = ReaderRankStatistics::run(c, grid);
    } else if (report == QLatin1String("visits")) {
        VisitCountConditions c;
        c.checkIn = mode == QLatin1String("reader-check-in");
        c.period = period;
        c.location = location;
        StatTableModel grids[4];
        status = VisitCountStatistics::run(c, {&grids[0], &grids[1], &grids[2], &grids[3]});
        const qsizetype by = QStringList{"type", "unit", "grade", "department"}.indexOf(option("by"));
        figures.clear();
        for (int i = 0; i < 4; ++i)
            if (by < 0 || by == i)
                figures += gridOf(grids[i]);
        return status;
    } else {
        UsingStatConditions c;
        c.bookCounting = mode == QLatin1String("book-counting");
        c.period = period;
        c.location = location;
        if (top > 0)
            c.count = top;
        status = UsingStatistics::run(c, grid);
    }
    figures = gridOf(grid);
    return status;
}
