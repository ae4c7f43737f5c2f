#include "frmRedrLendCount.h"

#include "print/chartprint.h"
#include "print/printdesigner.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"
#include "statchartpanel.h"
#include "statperiodpanel.h"
#include "statprint.h"
#include "statwindowparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

frmRedrLendCount::frmRedrLendCount(bool checkIn, QWidget* parent) : QDialog(parent), m_checkIn(checkIn)
{
    setObjectName(QStringLiteral("frmRedrLendCount"));
    setWindowTitle(QStringLiteral("阅览读者人次统计"));
    m_period = new StatPeriodPanel(this);
    cboLocation = makeNamed<QComboBox>(this, "cboLocation");
    LIB_FillLocationCombo(cboLocation);
    auto* settings = new QFormLayout;
    settings->addRow(m_period);
    settings->addRow(QStringLiteral("馆藏地"), cboLocation);

    tabGrids = new QTabWidget(this);
    tabGrids->setObjectName(QStringLiteral("tabGrids"));
    const char* names[] = {"spdType", "spdUnit", "spdGrade", "spdDepartment"};
    const QString captions[] = {QStringLiteral("按读者类型统计"), QStringLiteral("按读者单位统计"),
                                QStringLiteral("按读者年级统计"), QStringLiteral("按读者系别统计")};
    for (int i = 0; i < 4; ++i)
        tabGrids->addTab(LIB_MakeStatGridView(tabGrids, names[i], &m_grids[i]), captions[i]);
    m_chart = new StatChartPanel(this);
    connect(m_chart, &StatChartPanel::printRequested, this, [this] {
        handOver();
        LIB_ShowChartPrintPreview(this, m_chart->picture());
    });
    lblNotice = LIB_MakeStatNoticeLabel(this);
    auto* help = new QLabel(QStringLiteral("比例:阅览人次/阅览总次数."), this);
    const StatWindowButtons buttons = LIB_LayOutStatWindow(
        this, settings, LIB_MakeStatResultArea(this, tabGrids, m_chart), lblNotice, help);
    cmdPrint = buttons.print;
    connect(buttons.stat, &QPushButton::clicked, this, &frmRedrLendCount::runStatistics);
    connect(buttons.print, &QPushButton::clicked, this, &frmRedrLendCount::printGrid);
    connect(buttons.exit, &QPushButton::clicked, this, &frmRedrLendCount::close);
    resize(1000, 600);
}

VisitCountConditions frmRedrLendCount::conditions() const
{
    VisitCountConditions c;
    c.checkIn = m_checkIn;
    c.period = m_period->period();
    c.location = cboLocation->currentText();
    return c;
}

void frmRedrLendCount::runStatistics()
{
    const LIB_BusyPointer busy;
    cmdPrint->setEnabled(false);
    m_chart->clear();
    const VisitCountConditions c = conditions();
    const int status = VisitCountStatistics::run(
        c, {&m_grids[ByType], &m_grids[ByUnit], &m_grids[ByGrade], &m_grids[ByDepartment]});
    LIB_ShowStatisticsNotice(lblNotice);
    m_shownLocation = c.location;
    m_shownPeriod = c.period.text();
    // The reader types without the "合计" row.
    m_chart->showBars(windowTitle(), m_grids[ByType], 0, {1, 2}, 0,
                      std::max(0, m_grids[ByType].rowCount() - 1));
    cmdPrint->setEnabled(status == 0 && m_grids[ByType].rowCount() > 0);
}

void frmRedrLendCount::handOver()
{
    LIB_HandOverStatGrid(windowTitle(), QStringLiteral("馆藏地：") + m_shownLocation,
                         QStringLiteral("统计时期：") + m_shownPeriod, m_grids[tabGrids->currentIndex()]);
}

void frmRedrLendCount::printGrid()
{
    if (m_grids[tabGrids->currentIndex()].rowCount() == 0)
        return;
    handOver();
    LIB_ShowPrintDesigner(this);
}
