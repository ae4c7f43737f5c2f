#pragma once

// The statistics of the ranking windows FrmBookTop ("阅览图书排行榜": the most read titles of each
// class of a template) and FrmLendRate ("文献阅览率统计": the titles whose readings per copy meet
// a condition). Both hand one statement and per class a condition to TJ_SORT.GetGroupData and
// read the ranked titles it leaves in tj_tmp_rate within the same transaction.

#include "statperiod.h"

#include <QList>
#include <QString>
#include <QStringList>

class StatTableModel;

struct RankingConditions
{
    enum Window { BookTop, LendRate };
    enum Order { ByReadings, ByRate };
    enum RateTest { Above, Below, Equal, AtLeast, AtMost, Between };

    Window window = BookTop;

    bool bookCounting = false; // the desk counts books: book_use_stat_hist, else redr_book_stat_hist
    QString statTypeCode;      // empty for the one-off template
    QString docTypeCode;       // empty for "[全部]"
    QString languageCode;      // empty for "[全部]"
    QString location;          // "所有馆藏地" or a location name
    StatPeriod period;
    Order order = ByReadings; // FrmBookTop's "排行方式"; FrmLendRate ranks by rate
    RateTest rateTest = AtLeast; // FrmLendRate: "大于", "小于", "等于", "大于等于", "小于等于", "区间"
    QString rate, rateTo; // decimal texts (rateTo for "区间")
};

// One ranked title as the grids show it.
struct RankedTitle
{
    QString classCode;
    int rank = 0;
    QString marcRecNo, title, author, publisher, pubYear, isbn, callNo;
    QString copies, readings, rate;
};

class RankingStatistics
{
public:
    static QString historyTable(const RankingConditions& conditions);
    // The copies of each title and call number (TMP_ITEM), the ranking statement, the extra
    // condition of every class (grouping, the rate condition, the ordering) and the statement
    // that reads tj_tmp_rate, the ranks up to maxRank only when it is above 0.
    static QString copiesStatement(const RankingConditions& conditions);
    static QString statement(const RankingConditions& conditions);
    static QString extraCondition(const RankingConditions& conditions);
    static QString readStatement(const RankingConditions& conditions, int maxRank);

    // Prepares the template and ranks in one transaction. 0 with the ranked titles (class by
    // class in the template's order, then by rank), or -1 after a database failure (shown).
    static int run(const RankingConditions& conditions, int maxRank, QList<RankedTitle>& titles);

    // The grid ("类名", "题名", "责任者", "出版社", "出版年", "索书号", "复本数", "借阅次数",
    // "借阅比率") of the titles ranked up to maxRank (all when 0), the class name on each class's
    // first row only.
    static void fill(const QList<RankedTitle>& titles, int maxRank, StatTableModel& grid);
};

// The rate tests by the names the window offers them.
QStringList LIB_RateTestNames();
