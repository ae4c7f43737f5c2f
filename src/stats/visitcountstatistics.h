#pragma once

// The statistics of frmRedrLendCount ("阅览读者人次统计"): readers and visits of a period by reader
// type, unit, grade and department, from the check-in history in the desk's reader check-in
// mode and from the reader-and-book history otherwise. The four groupings come from one call of
// the server's tj_sort.visit_counts, which gives the figures of the window's four statements
// (readers that exist, grouped by type name, unit, grade and department name, each without the
// readers that lack it) and the overall ones, from its summary for whole years and months.

#include "statperiod.h"

#include <QString>

class StatTableModel;

struct VisitCountConditions
{
    bool checkIn = false; // reader_stat_hist, else redr_book_stat_hist
    StatPeriod period;
    QString location; // "所有馆藏地" or a location name
};

// The four grids of the window.
struct VisitCountGrids
{
    StatTableModel* byType = nullptr;       // "读者类型", "借阅人次", "借阅册次", "借阅比例"
    StatTableModel* byUnit = nullptr;       // "读者单位", "借阅册次", "借阅比例"
    StatTableModel* byGrade = nullptr;      // "读者年级", ...
    StatTableModel* byDepartment = nullptr; // "读者系别", ...
};

class VisitCountStatistics
{
public:
    static QString historyTable(const VisitCountConditions& conditions);
    static QString statement(const VisitCountConditions& conditions);

    // One row per group; the unit, grade and department grids then "其他" (the visits of readers
    // without that attribute) and each grid "合计" with the overall figures; 借阅比例 is the row's
    // visits over all visits ("-" when there are none). 0, also after "I查询无记录!" (no reader
    // type has visits; the grids stay empty); -1 after a database failure (shown).
    static int run(const VisitCountConditions& conditions, const VisitCountGrids& grids);
};
