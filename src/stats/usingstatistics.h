#pragma once

// The statistics of frmUsingStat ("高利用率图书列表"): the call numbers most used per copy in a
// period, from the reader-and-book log, or from the book-use log in the desk's book counting
// mode.

#include "statperiod.h"

#include <QString>

class StatTableModel;

struct UsingStatConditions
{
    bool bookCounting = false; // book_use_stat, else reader_book_stat
    StatPeriod period;
    QString location; // "所有馆藏地" or a location name
    int count = 50;   // "选择种数"
};

class UsingStatistics
{
public:
    static QString table(const UsingStatConditions& conditions);
    static QString dateColumn(const UsingStatConditions& conditions);
    // Uses per call number in the period (step 1) and copies per call number of those that were
    // used (step 2, at the location when one is chosen).
    static QString usesStatement(const UsingStatConditions& conditions);
    static QString copiesStatement(const UsingStatConditions& conditions);
    // The merge on the server: the first count call numbers of step 2 by uses per copy, highest
    // first, equal rates in step 2's order (call number descending), as (call number, copies,
    // uses), steps 1 and 2 counted in one pass over the items.
    static QString rankStatement(const UsingStatConditions& conditions);

    // The grid ("题名", "责任者", "出版社", "索书号", "复本数", "借阅量", "利用率"), the titles from the
    // MARC record of each call number's first item. 0, also after "E检索到0个记录!"; -1 after a
    // database failure (shown).
    static int run(const UsingStatConditions& conditions, StatTableModel& grid);
};
