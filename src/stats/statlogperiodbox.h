#pragma once

// The period of frmRedrCount and frmUsingStat: "统计时间" with the options "年度", "月度" and a range
// of days (captioned by the window), a year box, a month combo and two date pickers.

#include "statperiod.h"

#include <QGroupBox>

class QComboBox;
class QDateEdit;
class QRadioButton;
class StatYearBox;

class StatLogPeriodBox : public QGroupBox
{
    Q_OBJECT
public:
    StatLogPeriodBox(const QString& rangeCaption, QWidget* parent = nullptr);

    StatPeriod period() const;

private:
    void applyOption();

    QRadioButton* optYear = nullptr;
    QRadioButton* optMonth = nullptr;
    QRadioButton* optRange = nullptr;
    StatYearBox* yearBox = nullptr;
    QComboBox* cboMonth = nullptr;
    QDateEdit* dtpBegin = nullptr;
    QDateEdit* dtpEnd = nullptr;
};
