#pragma once

// The statistics of frmRedrStat ("阅览分类综合统计"): per class of the template and per reader
// type the reader-book events of the period, with class subtotals and shares, the overall row
// per reader type (events outside every class included) and the reader types' shares.

#include "db/resulttable.h"

#include <QString>

class StatTableModel;
struct StatConditions;

class RedrStatistics
{
public:
    // The statement counted per class: one SUM(decode(...)) per reader type, in table order.
    static QString statement(const StatConditions& conditions, const ResultTable& readerTypes);

    // Prepares the template, lays the grid out (classes, "借阅小计", "借阅比例"; name, patterns, the
    // reader types, "分类小计", "借阅比例") and fills it. 0 when the figures are in; -1 when a step
    // failed, its message shown and the grid keeping what was filled. A period without events
    // shows "ITJ006" and leaves the shares out (0 all the same).
    static int run(const StatConditions& conditions, StatTableModel& grid);
};
