#include "frmRead_BookStat.h"

#include "db/database.h"
#include "frmTmpSetTemplate.h"
#include "print/chartprint.h"
#include "print/printdesigner.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"
#include "statchartpanel.h"
#include "statconditions.h"
#include "statprint.h"
#include "statwindowparts.h"
#include "statyearbox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

frmRead_BookStat::frmRead_BookStat(bool readerBookMode, QWidget* parent)
    : QDialog(parent), m_readerBookMode(readerBookMode)
{
    setObjectName(QStringLiteral("frmRead_BookStat"));
    setWindowTitle(QStringLiteral("阅览图书分类统计"));

    auto* period = new QGroupBox(QStringLiteral("统计时间"), this);
    optDate = makeNamed<QRadioButton>(period, "optDate", QStringLiteral("日期"));
    optMonth = makeNamed<QRadioButton>(period, "optMonth", QStringLiteral("月度"));
    optYear = makeNamed<QRadioButton>(period, "optYear", QStringLiteral("年度"));
    dtpDate = makeNamed<QDateEdit>(period, "dtpDate");
    dtpDate->setCalendarPopup(true);
    dtpDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    const QDate serverDate = QDate::fromString(LIB_DB_ServerDate().left(10), QStringLiteral("yyyy-MM-dd"));
    dtpDate->setDate(serverDate.isValid() ? serverDate : QDate::currentDate());
    cboMonth = LIB_MakeMonthCombo(period, "cboMonth", QDate::currentDate().month());
    yearBox = new StatYearBox(period);
    yearBox->setYear(QDate::currentDate().year());
    auto* periodLayout = new QGridLayout(period);
    periodLayout->addWidget(optDate, 0, 0);
    periodLayout->addWidget(dtpDate, 0, 1);
    periodLayout->addWidget(optMonth, 1, 0);
    periodLayout->addWidget(cboMonth, 1, 1);
    periodLayout->addWidget(optYear, 2, 0);
    periodLayout->addWidget(yearBox, 2, 1);
    // The month of the year box is the common question, so "月度" comes selected.
    optMonth->setChecked(true);
    for (QRadioButton* option : {optDate, optMonth, optYear})
        connect(option, &QRadioButton::toggled, this, &frmRead_BookStat::applyPeriodOption);
    applyPeriodOption();

    auto* settings = new QGroupBox(QStringLiteral("统计设定"), this);
    cboLocation = makeNamed<QComboBox>(settings, "cboLocation");
    cboTemplate = makeNamed<QComboBox>(settings, "cboTemplate");
    LIB_FillLocationCombo(cboLocation);
    LIB_FillTemplateCombo(cboTemplate);
    connect(cboTemplate, &QComboBox::activated, this, [this](int index) {
        if (cboTemplate->itemText(index) != LIB_OneOffTemplateName())
            return;
        if (!m_oneOff)
            m_oneOff = new frmTmpSetTemplate(this);
        m_oneOff->exec();
    });
    auto* settingsLayout = new QFormLayout(settings);
    settingsLayout->addRow(QStringLiteral("馆藏地"), cboLocation);
    settingsLayout->addRow(QStringLiteral("分类模板"), cboTemplate);

    auto* panel = new QGroupBox(QStringLiteral("统计条件"), this);
    lblPeriod = new QLabel(panel);
    lblPeriod->setObjectName(QStringLiteral("lblPeriod"));
    lblLocation = new QLabel(panel);
    lblLocation->setObjectName(QStringLiteral("lblLocation"));
    lblTemplate = new QLabel(panel);
    lblTemplate->setObjectName(QStringLiteral("lblTemplate"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(lblPeriod);
    panelLayout->addWidget(lblLocation);
    panelLayout->addWidget(lblTemplate);

    auto* result = new QGroupBox(QStringLiteral("统计结果"), this);
    spdStatResult = LIB_MakeStatGridView(result, "spdStatResult", &m_grid);
    m_chart = new StatChartPanel(result);
    connect(m_chart, &StatChartPanel::printRequested, this, [this] {
        handOver();
        LIB_ShowChartPrintPreview(this, m_chart->picture());
    });
    auto* splitter = new QSplitter(result);
    splitter->addWidget(spdStatResult);
    splitter->addWidget(m_chart);
    auto* resultLayout = new QVBoxLayout(result);
    resultLayout->addWidget(splitter);

    auto* cmdStat = makeNamed<QPushButton>(this, "cmdStat", QStringLiteral("统计(&S)"));
    cmdPrint = makeNamed<QPushButton>(this, "cmdPrint", QStringLiteral("打印(&P)"));
    auto* cmdExit = makeNamed<QPushButton>(this, "cmdExit", QStringLiteral("退出(&Q)"));
    cmdPrint->setEnabled(false);
    connect(cmdStat, &QPushButton::clicked, this, &frmRead_BookStat::runStatistics);
    connect(cmdPrint, &QPushButton::clicked, this, &frmRead_BookStat::printGrid);
    connect(cmdExit, &QPushButton::clicked, this, &frmRead_BookStat::close);

    auto* help =
        new QLabel(QStringLiteral("图书统计用于统计一段时间内不同的分类模板下图书阅览的情况."), this);
    auto* conditionsRow = new QHBoxLayout;
    conditionsRow->addWidget(period);
    conditionsRow->addWidget(settings);
    conditionsRow->addWidget(panel, 1);
    auto* commands = new QHBoxLayout;
    commands->addWidget(help, 1);
    commands->addWidget(cmdStat);
    commands->addWidget(cmdPrint);
    commands->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(conditionsRow);
    layout->addWidget(result, 1);
    layout->addLayout(commands);
    resize(1000, 600);
}

void frmRead_BookStat::applyPeriodOption()
{
    dtpDate->setEnabled(optDate->isChecked());
    cboMonth->setEnabled(optMonth->isChecked());
    yearBox->setEnabled(!optDate->isChecked());
}

BookStatConditions frmRead_BookStat::conditions() const
{
    BookStatConditions c;
    c.readerBookMode = m_readerBookMode;
    c.statTypeCode = cboTemplate->currentData().toString();
    c.location = cboLocation->currentText();
    c.period.kind = optDate->isChecked()    ? BookStatPeriod::Date
                    : optMonth->isChecked() ? BookStatPeriod::Month
                                            : BookStatPeriod::Year;
    c.period.date = dtpDate->date().toString(QStringLiteral("yyyy-MM-dd"));
    c.period.year = yearBox->yearText();
    c.period.month = LIB_MonthOfCombo(cboMonth);
    return c;
}

QString frmRead_BookStat::periodText() const
{
    if (optYear->isChecked())
        return yearBox->text();
    if (optMonth->isChecked())
        return yearBox->text() + QLatin1Char(' ') + cboMonth->currentText();
    return dtpDate->date().toString(QStringLiteral("yyyy-MM-dd"));
}

void frmRead_BookStat::runStatistics()
{
    const LIB_BusyPointer busy;
    cmdPrint->setEnabled(false);
    m_chart->clear();
    lblPeriod->setText(periodText());
    lblLocation->setText(cboLocation->currentText());
    lblTemplate->setText(cboTemplate->currentText());
    BookStatistics::run(conditions(), m_grid);
    m_chart->showBars(windowTitle(), m_grid, 0, {2, 3}, 0, std::max(0, m_grid.rowCount() - 1));
    cmdPrint->setEnabled(true);
}

void frmRead_BookStat::handOver()
{
    LIB_HandOverStatGrid(windowTitle(), QStringLiteral("馆藏地：") + lblLocation->text(),
                         QStringLiteral("统计时间：") + lblPeriod->text(), m_grid);
}

void frmRead_BookStat::printGrid()
{
    if (m_grid.rowCount() == 0)
        return;
    handOver();
    LIB_ShowPrintDesigner(this);
}
