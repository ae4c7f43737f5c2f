#include "statperiodpanel.h"

#include "frmDateStart.h"
#include "startup/formhelpers.h"
#include "statyearbox.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>

StatPeriodPanel::StatPeriodPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatPeriodPanel"));
    cboStatType = makeNamed<QComboBox>(this, "cboStatType");
    cboStatType->addItems({QStringLiteral("年度"), QStringLiteral("月度"), QStringLiteral("时期")});
    cboStatType->setCurrentIndex(m_kind);
    yearBox = new StatYearBox(this);
    yearBox->setYear(QDate::currentDate().year());
    cboMonth = LIB_MakeMonthCombo(this, "cboMonth", QDate::currentDate().month());
    lblRange = new QLabel(this);
    lblRange->setObjectName(QStringLiteral("lblRange"));
    m_dates = new frmDateStart(this);
    connect(cboStatType, &QComboBox::activated, this, &StatPeriodPanel::kindChosen);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("统计类型"), this));
    layout->addWidget(cboStatType);
    layout->addWidget(yearBox);
    layout->addWidget(cboMonth);
    layout->addWidget(lblRange, 1);
    applyKind();
}

void StatPeriodPanel::kindChosen(int index)
{
    if (index == StatPeriod::Range) {
        m_dates->exec();
        // Without a range given the period stays what it was.
        if (!m_dates->rangeGiven()) {
            cboStatType->setCurrentIndex(m_kind);
            return;
        }
        lblRange->setText(m_dates->beginDate().toString(QStringLiteral("yyyy-MM-dd")) +
                          QStringLiteral(" 到 ") + m_dates->endDate().toString(QStringLiteral("yyyy-MM-dd")));
    }
    m_kind = index;
    applyKind();
}

void StatPeriodPanel::applyKind()
{
    yearBox->setEnabled(m_kind != StatPeriod::Range);
    cboMonth->setEnabled(m_kind == StatPeriod::Month);
    lblRange->setVisible(m_kind == StatPeriod::Range);
}

StatPeriod StatPeriodPanel::period() const
{
    StatPeriod p;
    p.kind = StatPeriod::Kind(m_kind);
    p.year = yearBox->yearText();
    p.month = LIB_MonthOfCombo(cboMonth);
    p.beginDate = m_dates->beginDate().toString(QStringLiteral("yyyy-MM-dd"));
    p.endDate = m_dates->endDate().toString(QStringLiteral("yyyy-MM-dd"));
    return p;
}
