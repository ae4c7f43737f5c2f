#include "statlogperiodbox.h"

#include "startup/formhelpers.h"
#include "statyearbox.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

StatLogPeriodBox::StatLogPeriodBox(const QString& rangeCaption, QWidget* parent)
    : QGroupBox(QStringLiteral("统计时间"), parent)
{
    optYear = makeNamed<QRadioButton>(this, "optYear", QStringLiteral("年度"));
    optMonth = makeNamed<QRadioButton>(this, "optMonth", QStringLiteral("月度"));
    optRange = makeNamed<QRadioButton>(this, "optRange", rangeCaption);
    yearBox = new StatYearBox(this);
    yearBox->setYear(QDate::currentDate().year());
    cboMonth = LIB_MakeMonthCombo(this, "cboMonth", QDate::currentDate().month());
    auto makeDate = [this](const char* name) {
        auto* date = makeNamed<QDateEdit>(this, name);
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        date->setDate(QDate::currentDate());
        return date;
    };
    dtpBegin = makeDate("dtpBegin");
    dtpEnd = makeDate("dtpEnd");
    auto* layout = new QGridLayout(this);
    layout->addWidget(optYear, 0, 0);
    layout->addWidget(yearBox, 0, 1);
    layout->addWidget(optMonth, 1, 0);
    layout->addWidget(cboMonth, 1, 1);
    layout->addWidget(optRange, 2, 0);
    layout->addWidget(dtpBegin, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("到"), this), 2, 2);
    layout->addWidget(dtpEnd, 2, 3);
    optMonth->setChecked(true);
    for (QRadioButton* option : {optYear, optMonth, optRange})
        connect(option, &QRadioButton::toggled, this, &StatLogPeriodBox::applyOption);
    applyOption();
}

void StatLogPeriodBox::applyOption()
{
    yearBox->setEnabled(!optRange->isChecked());
    cboMonth->setEnabled(optMonth->isChecked());
    dtpBegin->setEnabled(optRange->isChecked());
    dtpEnd->setEnabled(optRange->isChecked());
}

StatPeriod StatLogPeriodBox::period() const
{
    StatPeriod p;
    p.kind = optYear->isChecked()    ? StatPeriod::Year
             : optMonth->isChecked() ? StatPeriod::Month
                                     : StatPeriod::Range;
    p.year = yearBox->yearText();
    p.month = LIB_MonthOfCombo(cboMonth);
    p.beginDate = dtpBegin->date().toString(QStringLiteral("yyyy-MM-dd"));
    p.endDate = dtpEnd->date().toString(QStringLiteral("yyyy-MM-dd"));
    return p;
}
