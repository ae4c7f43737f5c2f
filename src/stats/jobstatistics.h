#pragma once

// The workload statistics of frmStatJob ("工作量统计"): the logged-in operator's own totals per job
// type for a year, a month, a day or a date range, from the workload records of XT_wkr_job_qty.

#include <QString>
#include <QStringList>

class StatTableModel;

class JobStatistics
{
public:
    enum Kind { Year, Month, Day, Range };

    // The job types matching the pattern (the desk opens the window with "4%"), one grid row
    // each: its name, then "种数", "册数", "价格" empty. 0, or -1 after showing the database error.
    int loadJobTypes(const QString& pattern, StatTableModel& grid);

    // The statement of a run: the calendar's date "yyyy-mm-dd" gives the year, month or day;
    // Range takes the two dates.
    static QString statement(const QString& staffNumber, Kind kind, const QString& calendarDate,
                             const QString& beginDate, const QString& endDate);

    // Puts the sums into the rows of the job types that have records; the other rows stay empty.
    // 0, or -1 after showing the database error (the grid keeps its rows).
    int run(const QString& staffNumber, Kind kind, const QString& calendarDate, const QString& beginDate,
            const QString& endDate, StatTableModel& grid) const;

    const QStringList& jobTypes() const { return m_jobTypes; }

private:
    QStringList m_jobTypes; // the codes of the grid's rows
};
