#pragma once

// The statistics of frmRead_BookStat ("阅览图书分类统计"): per class of the template how many
// distinct titles (种次) and how many items (册次) were read in a day, month or year, with an
// overall row. The reader-book history is counted in the desk's reader-and-book registration
// mode, the book-use history in every other mode.

#include <QString>

class StatTableModel;

struct BookStatPeriod
{
    enum Kind { Date, Month, Year };
    Kind kind = Month;
    QString date;  // "yyyy-mm-dd" (Date)
    QString year;  // four digits (Month, Year)
    QString month; // "01".."12" (Month)
};

struct BookStatConditions
{
    bool readerBookMode = false;
    QString statTypeCode; // empty for the one-off template
    QString location;     // "所有馆藏地" or a location name
    BookStatPeriod period;
};

class BookStatistics
{
public:
    static QString historyTable(bool readerBookMode);
    static QString classStatement(const BookStatConditions& conditions);
    static QString totalStatement(const BookStatConditions& conditions);

    // Prepares the template and fills the grid ("显示类名", "显示类号", "种次", "册次"; a last row
    // "总计"). 0, or -1 when a step failed (its message shown, the grid keeping what was filled).
    static int run(const BookStatConditions& conditions, StatTableModel& grid);

private:
    static QString periodCondition(const QString& table, const BookStatPeriod& period);
    static QString locationCondition(const QString& table, const QString& location);
};
