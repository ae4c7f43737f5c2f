#include "frmStatProp.h"

#include "db/database.h"
#include "frmTmpSetTemplate.h"
#include "startup/formhelpers.h"
#include "statconditions.h"
#include "statwindowparts.h"
#include "statyearbox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

frmStatProp& frmStatProp::shared()
{
    static frmStatProp* dialog = new frmStatProp;
    return *dialog;
}

frmStatProp::frmStatProp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStatProp"));
    setWindowTitle(QStringLiteral("统计条件设定"));
    setWindowModality(Qt::ApplicationModal);

    auto* period = new QGroupBox(QStringLiteral("统计时间"), this);
    optRange = makeNamed<QRadioButton>(period, "optRange", QStringLiteral("时段"));
    optMonth = makeNamed<QRadioButton>(period, "optMonth", QStringLiteral("月度"));
    optYear = makeNamed<QRadioButton>(period, "optYear", QStringLiteral("年度"));
    dtpBegin = makeNamed<QDateEdit>(period, "dtpBegin");
    dtpEnd = makeNamed<QDateEdit>(period, "dtpEnd");
    for (QDateEdit* date : {dtpBegin, dtpEnd}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    cboMonth = LIB_MakeMonthCombo(period, "cboMonth", QDate::currentDate().month());
    yearBox = new StatYearBox(period);
    auto* periodLayout = new QGridLayout(period);
    periodLayout->addWidget(optRange, 0, 0);
    periodLayout->addWidget(dtpBegin, 0, 1);
    periodLayout->addWidget(dtpEnd, 0, 2);
    periodLayout->addWidget(optMonth, 1, 0);
    periodLayout->addWidget(cboMonth, 1, 1);
    periodLayout->addWidget(optYear, 2, 0);
    periodLayout->addWidget(yearBox, 2, 1);
    for (QRadioButton* option : {optRange, optMonth, optYear})
        connect(option, &QRadioButton::toggled, this, &frmStatProp::applyPeriodOption);

    auto* parameters = new QGroupBox(QStringLiteral("参数设定"), this);
    cboLocation = makeNamed<QComboBox>(parameters, "cboLocation");
    cboTemplate = makeNamed<QComboBox>(parameters, "cboTemplate");
    auto* parameterLayout = new QFormLayout(parameters);
    parameterLayout->addRow(QStringLiteral("馆藏地："), cboLocation);
    parameterLayout->addRow(QStringLiteral("分类模板："), cboTemplate);
    connect(cboTemplate, &QComboBox::activated, this, &frmStatProp::templateChosen);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确认(&O)"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmStatProp::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmStatProp::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(period);
    layout->addWidget(parameters);
    layout->addWidget(buttons);
    load();
}

void frmStatProp::load()
{
    const QDate serverDate = QDate::fromString(LIB_DB_ServerDate().left(10), QStringLiteral("yyyy-MM-dd"));
    dtpBegin->setDate(serverDate.isValid() ? serverDate : QDate::currentDate());
    dtpEnd->setDate(dtpBegin->date());
    yearBox->setYear(QDate::currentDate().year());
    optMonth->setChecked(true);
    applyPeriodOption();

    LIB_FillLocationCombo(cboLocation);
    LIB_FillTemplateCombo(cboTemplate);
}

void frmStatProp::applyPeriodOption()
{
    dtpBegin->setEnabled(optRange->isChecked());
    dtpEnd->setEnabled(optRange->isChecked());
    cboMonth->setEnabled(optMonth->isChecked());
    yearBox->setEnabled(!optRange->isChecked());
}

void frmStatProp::templateChosen(int index)
{
    if (cboTemplate->itemText(index) != LIB_OneOffTemplateName())
        return;
    if (!m_oneOff)
        m_oneOff = new frmTmpSetTemplate(this);
    m_oneOff->exec();
}

void frmStatProp::accept()
{
    StatConditions& conditions = StatConditions::current();
    conditions.statTypeCode = cboTemplate->currentData().toString();
    conditions.location = cboLocation->currentText();
    if (optRange->isChecked()) {
        conditions.periodKind = StatConditions::DateRange;
        conditions.beginDate = dtpBegin->date().toString(QStringLiteral("yyyy-MM-dd"));
        conditions.endDate = dtpEnd->date().toString(QStringLiteral("yyyy-MM-dd"));
    } else {
        conditions.periodKind = optYear->isChecked() ? StatConditions::Year : StatConditions::Month;
        conditions.year = yearBox->yearText();
        conditions.month = LIB_MonthOfCombo(cboMonth);
    }
    QDialog::accept();
}
