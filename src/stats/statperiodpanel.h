#pragma once

// The period of FrmBookTop, FrmLendRate and frmRedrLendCount: "统计类型" ("年度", "月度", "时期"),
// a year box with its spinner and a month combo for years and months, and for "时期" the range
// dialog frmDateStart, whose range the panel then shows as begin " 到 " end.

#include "statperiod.h"

#include <QWidget>

class QComboBox;
class QLabel;
class StatYearBox;
class frmDateStart;

class StatPeriodPanel : public QWidget
{
    Q_OBJECT
public:
    explicit StatPeriodPanel(QWidget* parent = nullptr);

    StatPeriod period() const;

private:
    void kindChosen(int index);
    void applyKind();

    QComboBox* cboStatType = nullptr;
    StatYearBox* yearBox = nullptr;
    QComboBox* cboMonth = nullptr;
    QLabel* lblRange = nullptr;
    frmDateStart* m_dates = nullptr;
    int m_kind = 1;
};
