#pragma once

// The statistics of frmRedrCount ("阅览读者排行榜"): the readers who came most often in a period,
// from the check-in log in the desk's reader check-in mode and from the reader-and-book log
// otherwise.

#include "statperiod.h"

#include <QString>
#include <QStringList>

class StatTableModel;

struct ReaderRankConditions
{
    bool checkIn = false; // reader_stat, else reader_book_stat
    StatPeriod period;
    QString location; // "所有馆藏地" or a location name
    int count = 10;   // "人数选择"
};

class ReaderRankStatistics
{
public:
    static QString table(const ReaderRankConditions& conditions);
    static QString dateColumn(const ReaderRankConditions& conditions);
    // Visits per card in the period, most first.
    static QString countStatement(const ReaderRankConditions& conditions);
    // The readers of those cards with their name, unit, type and grade; restricted to the cards
    // given (the ranking's first ones), so that a year of readers does not travel for ten rows.
    static QString readerStatement(const ReaderRankConditions& conditions, const QStringList& cards);

    // The grid ("到达次数", "有效证件号", "读者姓名", "读者单位", "读者类型", "读者等级") of the first
    // count readers (fewer when fewer came). 0, also after "E无所查读者记录!" (nothing found); -1
    // after a database failure (shown).
    static int run(const ReaderRankConditions& conditions, StatTableModel& grid);
};
