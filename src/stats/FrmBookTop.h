#pragma once

#include "rankingwindow.h"

class QComboBox;

// "阅览图书排行榜": per class of a template the titles read most ("借阅次数") or most per copy
// ("借阅比率") in a period; "记录显示" chooses how many of each class the grid shows, and a
// smaller choice, or one within what the last run read, shows again without a new run.
class FrmBookTop : public RankingWindow
{
    Q_OBJECT
public:
    // bookCounting: the desk counts books (the book-use history is ranked, else the
    // reader-and-book history).
    explicit FrmBookTop(bool bookCounting, QWidget* parent = nullptr);

    RankingConditions conditions() const override;
    int shownRanks() const override { return m_shown; }

protected:
    int readLimit() const override { return std::max(m_shown, presetRanks); }

private:
    static constexpr int presetRanks = 100; // the largest preset count: what a run reads at least
    void countChosen(int index);

    QComboBox* cboShowCount = nullptr;
    QComboBox* cboOrder = nullptr;
    int m_shown = 10;
};
