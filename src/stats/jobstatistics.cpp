#include "jobstatistics.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/statisticssession.h"
#include "stattablemodel.h"

int JobStatistics::loadJobTypes(const QString& pattern, StatTableModel& grid)
{
    ResultTable types;
    if (LIB_DB_Select(QStringLiteral("SELECT job_type,job_name FROM job_type WHERE job_type LIKE ") +
                          LIB_SQLQuote(pattern) + QStringLiteral(" ORDER BY job_type"),
                      types) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    m_jobTypes.clear();
    QList<QStringList> rows;
    for (int row = 2; row < types.recordCount() + 2; ++row) {
        m_jobTypes.append(types.text(0, row));
        rows.append({types.text(1, row), QString(), QString(), QString()});
    }
    grid.setTable(
        {QStringLiteral("工作类型"), QStringLiteral("种数"), QStringLiteral("册数"), QStringLiteral("价格")},
        rows);
    return 0;
}

QString JobStatistics::statement(const QString& staffNumber, Kind kind, const QString& calendarDate,
                                 const QString& beginDate, const QString& endDate)
{
    const QString head =
        QStringLiteral(" SELECT job_type, SUM(kind),SUM(volume),SUM(amount) FROM wkr_job_qty "
                       "WHERE wkr_no_f=") +
        LIB_SQLQuote(staffNumber);
    const QString tail = QStringLiteral(" GROUP BY job_type ORDER BY job_type");
    if (kind == Range)
        return head + QStringLiteral(" AND oper_date >= ") + LIB_SQLQuote(beginDate) +
               QStringLiteral(" AND oper_date<=") + LIB_SQLQuote(endDate) + tail;
    const int length = kind == Year ? 4 : kind == Month ? 7 : 10;
    return head + QStringLiteral(" AND oper_date LIKE ") +
           LIB_SQLQuote(QString(calendarDate.left(length) + QLatin1Char('%'))) + tail;
}

int JobStatistics::run(const QString& staffNumber, Kind kind, const QString& calendarDate,
                       const QString& beginDate, const QString& endDate, StatTableModel& grid) const
{
    const StatisticsSession source; // the read replica when there is one
    ResultTable sums;
    if (LIB_DB_Select(statement(staffNumber, kind, calendarDate, beginDate, endDate), sums) != 0) {
        LIB_DB_ShowError();
        return -1;
    }
    for (int row = 0; row < m_jobTypes.size(); ++row)
        for (int column = 1; column <= 3; ++column)
            grid.setCell(row, column, QString());
    for (int row = 2; row < sums.recordCount() + 2; ++row) {
        const qsizetype at = m_jobTypes.indexOf(sums.text(0, row));
        if (at < 0)
            continue;
        grid.setCell(int(at), 1, QString::number(qRound64(sums.number(1, row))));
        grid.setCell(int(at), 2, QString::number(qRound64(sums.number(2, row))));
        grid.setCell(int(at), 3, QString::number(sums.number(3, row), 'f', 2));
    }
    return 0;
}
