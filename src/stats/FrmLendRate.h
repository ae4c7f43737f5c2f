#pragma once

#include "rankingwindow.h"

class QComboBox;
class QLineEdit;

// "文献阅览率统计": per class of a template the titles whose readings per copy ("借阅比率") meet a
// condition ("大于", "小于", "等于", "大于等于", "小于等于" a value, or "区间" between two), highest
// rate first.
class FrmLendRate : public RankingWindow
{
    Q_OBJECT
public:
    explicit FrmLendRate(bool bookCounting, QWidget* parent = nullptr);

    RankingConditions conditions() const override;

protected:
    bool conditionsAccepted() override;

private:
    QComboBox* cboRateTest = nullptr;
    QLineEdit* txtRate = nullptr;
    QLineEdit* txtRateTo = nullptr;
};
