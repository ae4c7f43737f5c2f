#include "visitcountstatistics.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/statisticssession.h"
#include "statconditions.h"
#include "stattablemodel.h"

namespace {

QString orNull(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("NULL") : LIB_SQLQuote(text);
}

QString share(qint64 events, qint64 all)
{
    return all > 0 ? LIB_Percentage(double(events) / double(all)) : QStringLiteral("-");
}

} // namespace

QString VisitCountStatistics::historyTable(const VisitCountConditions& c)
{
    return c.checkIn ? QStringLiteral("reader_stat_hist") : QStringLiteral("redr_book_stat_hist");
}

QString VisitCountStatistics::statement(const VisitCountConditions& c)
{
    const bool range = c.period.kind == StatPeriod::Range;
    const QString location =
        c.location == StatConditions::allLocations() ? QString() : LIB_LocationCode(c.location);
    return QStringLiteral("SELECT grouped_by, key, readers, events FROM tj_sort.visit_counts(") +
           LIB_SQLQuote(historyTable(c)) + QLatin1Char(',') + orNull(c.period.prefix()) + QLatin1Char(',') +
           orNull(range ? c.period.beginDate : QString()) + QLatin1Char(',') +
           orNull(range ? c.period.endDate : QString()) + QLatin1Char(',') + orNull(location) +
           QStringLiteral(") ORDER BY grouped_by, key");
}

int VisitCountStatistics::run(const VisitCountConditions& c, const VisitCountGrids& grids)
{
    const QString readers = QStringLiteral("借阅人次"), visits = QStringLiteral("借阅册次"),
                  ratio = QStringLiteral("借阅比例");
    grids.byType->setTable({QStringLiteral("读者类型"), readers, visits, ratio}, {});
    grids.byUnit->setTable({QStringLiteral("读者单位"), visits, ratio}, {});
    grids.byGrade->setTable({QStringLiteral("读者年级"), visits, ratio}, {});
    grids.byDepartment->setTable({QStringLiteral("读者系别"), visits, ratio}, {});
    ResultTable figures;
    {
        const StatisticsSession source;
        if (LIB_DB_Select(statement(c), figures) != 0) {
            LIB_DB_ShowError();
            return -1;
        }
    }
    qint64 allReaders = 0, allVisits = 0;
    QList<QStringList> typeRows;
    QHash<QString, QList<QPair<QString, qint64>>> groups;
    for (int row = 2; row < figures.recordCount() + 2; ++row) {
        const QString by = figures.text(0, row);
        const qint64 readerCount = qint64(figures.value(2, row).toDouble());
        const qint64 visitCount = qint64(figures.value(3, row).toDouble());
        if (by == QLatin1String("all")) {
            allReaders = readerCount;
            allVisits = visitCount;
        } else if (by == QLatin1String("type")) {
            typeRows.append(
                {figures.text(1, row), QString::number(readerCount), QString::number(visitCount)});
        } else {
            groups[by].append({figures.text(1, row), visitCount});
        }
    }
    if (typeRows.isEmpty()) {
        LIB_ShowMsg(QStringLiteral("I查询无记录!"));
        return 0;
    }
    for (QStringList& row : typeRows)
        row.append(share(row.at(2).toLongLong(), allVisits));
    typeRows.append({QStringLiteral("合计"), QString::number(allReaders), QString::number(allVisits),
                     share(allVisits, allVisits)});
    grids.byType->setTable(grids.byType->headings(), typeRows);

    auto fillGroups = [&](StatTableModel* grid, const QString& key) {
        QList<QStringList> rows;
        qint64 grouped = 0;
        for (const auto& [name, visitCount] : groups.value(key)) {
            rows.append({name, QString::number(visitCount), share(visitCount, allVisits)});
            grouped += visitCount;
        }
        rows.append({QStringLiteral("其他"), QString::number(allVisits - grouped),
                     share(allVisits - grouped, allVisits)});
        rows.append({QStringLiteral("合计"), QString::number(allVisits), share(allVisits, allVisits)});
        grid->setTable(grid->headings(), rows);
    };
    fillGroups(grids.byUnit, QStringLiteral("unit"));
    fillGroups(grids.byGrade, QStringLiteral("grade"));
    fillGroups(grids.byDepartment, QStringLiteral("department"));
    return 0;
}
