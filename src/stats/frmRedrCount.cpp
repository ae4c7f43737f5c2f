#include "frmRedrCount.h"

#include "print/chartprint.h"
#include "print/printdesigner.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"
#include "statchartpanel.h"
#include "statlogperiodbox.h"
#include "statprint.h"
#include "statwindowparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

frmRedrCount::frmRedrCount(bool checkIn, QWidget* parent) : QDialog(parent), m_checkIn(checkIn)
{
    setObjectName(QStringLiteral("frmRedrCount"));
    setWindowTitle(QStringLiteral("阅览读者排行榜"));
    m_period = new StatLogPeriodBox(QStringLiteral("区间"), this);
    cboLocation = makeNamed<QComboBox>(this, "cboLocation");
    LIB_FillLocationCombo(cboLocation);
    cboCount = makeNamed<QComboBox>(this, "cboCount");
    cboCount->addItems({QStringLiteral("10人"), QStringLiteral("20人"), QStringLiteral("30人"),
                        QStringLiteral("50人"), QStringLiteral("100人")});
    auto* settings = new QFormLayout;
    settings->addRow(QStringLiteral("馆 藏 地"), cboLocation);
    settings->addRow(QStringLiteral("人数选择"), cboCount);
    auto* conditionsRow = new QHBoxLayout;
    conditionsRow->addWidget(m_period);
    conditionsRow->addLayout(settings, 1);

    spdResult = LIB_MakeStatGridView(this, "spdResult", &m_grid);
    m_chart = new StatChartPanel(this);
    connect(m_chart, &StatChartPanel::printRequested, this, [this] {
        handOver();
        LIB_ShowChartPrintPreview(this, m_chart->picture());
    });
    lblNotice = LIB_MakeStatNoticeLabel(this);
    auto* help = new QLabel(QStringLiteral("优秀读者分析：统计一段时间内到该馆次数最多的读者"), this);
    const StatWindowButtons buttons = LIB_LayOutStatWindow(
        this, conditionsRow, LIB_MakeStatResultArea(this, spdResult, m_chart), lblNotice, help);
    cmdPrint = buttons.print;
    connect(buttons.stat, &QPushButton::clicked, this, &frmRedrCount::runStatistics);
    connect(buttons.print, &QPushButton::clicked, this, &frmRedrCount::printGrid);
    connect(buttons.exit, &QPushButton::clicked, this, &frmRedrCount::close);
    resize(1000, 600);
}

ReaderRankConditions frmRedrCount::conditions() const
{
    ReaderRankConditions c;
    c.checkIn = m_checkIn;
    c.period = m_period->period();
    c.location = cboLocation->currentText();
    // The count is the number the entry begins with ("100人").
    c.count = LIB_LeadingNumber(cboCount->currentText().left(3));
    return c;
}

void frmRedrCount::runStatistics()
{
    const LIB_BusyPointer busy;
    cmdPrint->setEnabled(false);
    m_chart->clear();
    const ReaderRankConditions c = conditions();
    const int status = ReaderRankStatistics::run(c, m_grid);
    LIB_ShowStatisticsNotice(lblNotice);
    m_shownLocation = c.location;
    m_shownPeriod = c.period.text();
    m_chart->showBars(windowTitle(), m_grid, 2, {0}, 0, m_grid.rowCount());
    cmdPrint->setEnabled(status == 0 && m_grid.rowCount() > 0);
}

void frmRedrCount::handOver()
{
    LIB_HandOverStatGrid(windowTitle(), QStringLiteral("馆藏地：") + m_shownLocation,
                         QStringLiteral("统计时间：") + m_shownPeriod, m_grid);
}

void frmRedrCount::printGrid()
{
    if (m_grid.rowCount() == 0)
        return;
    handOver();
    LIB_ShowPrintDesigner(this);
}
