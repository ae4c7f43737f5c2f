#include "FrmLendRate.h"

#include "db/messages.h"
#include "startup/formhelpers.h"
#include "statperiod.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

FrmLendRate::FrmLendRate(bool bookCounting, QWidget* parent)
    : RankingWindow(RankingConditions::LendRate, bookCounting, QStringLiteral("文献阅览率统计"), parent)
{
    setObjectName(QStringLiteral("FrmLendRate"));
    cboRateTest = makeNamed<QComboBox>(this, "cboRateTest");
    cboRateTest->addItems(LIB_RateTestNames());
    cboRateTest->setCurrentIndex(RankingConditions::AtLeast);
    txtRate = makeNamed<QLineEdit>(this, "txtRate");
    txtRate->setText(QStringLiteral("1"));
    txtRateTo = makeNamed<QLineEdit>(this, "txtRateTo");
    auto* rate = new QHBoxLayout;
    rate->addWidget(cboRateTest);
    rate->addWidget(txtRate);
    rate->addWidget(new QLabel(QStringLiteral("—"), this));
    rate->addWidget(txtRateTo);
    ownConditions->addRow(QStringLiteral("借阅比率"), rate);
    auto applyTest = [this] {
        txtRateTo->setEnabled(cboRateTest->currentIndex() == RankingConditions::Between);
    };
    connect(cboRateTest, &QComboBox::currentIndexChanged, this, applyTest);
    applyTest();
}

RankingConditions FrmLendRate::conditions() const
{
    RankingConditions c = RankingWindow::conditions();
    c.order = RankingConditions::ByRate;
    c.rateTest = RankingConditions::RateTest(cboRateTest->currentIndex());
    c.rate = txtRate->text().trimmed();
    c.rateTo = txtRateTo->text().trimmed();
    return c;
}

bool FrmLendRate::conditionsAccepted()
{
    const bool between = cboRateTest->currentIndex() == RankingConditions::Between;
    if (!LIB_IsDecimal(txtRate->text()) || (between && !LIB_IsDecimal(txtRateTo->text()))) {
        LIB_ShowMsg(QStringLiteral("E条件输入不正确！"));
        return false;
    }
    return true;
}
