#include "rankingwindow.h"

#include "codes/codetables.h"
#include "frmTmpSetTemplate.h"
#include "print/chartprint.h"
#include "print/printdesigner.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"
#include "statchartpanel.h"
#include "statconditions.h"
#include "statperiodpanel.h"
#include "statprint.h"
#include "statwindowparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int chartBars = 30; // more bars than this crowd the chart; the grid has them all
}

RankingWindow::RankingWindow(RankingConditions::Window window, bool bookCounting, const QString& title,
                             QWidget* parent)
    : QDialog(parent), m_window(window), m_bookCounting(bookCounting)
{
    setWindowTitle(title);
    cboTemplate = makeNamed<QComboBox>(this, "cboTemplate");
    LIB_FillTemplateCombo(cboTemplate);
    connect(cboTemplate, &QComboBox::activated, this, [this](int index) {
        if (cboTemplate->itemText(index) != LIB_OneOffTemplateName())
            return;
        if (!m_oneOff)
            m_oneOff = new frmTmpSetTemplate(this);
        m_oneOff->exec();
    });
    cboDocType = makeNamed<QComboBox>(this, "cboDocType");
    LIB_FillCodeCombo(cboDocType, int(CodeTable::DocTypes));
    cboLanguage = makeNamed<QComboBox>(this, "cboLanguage");
    LIB_FillCodeCombo(cboLanguage, int(CodeTable::Languages));
    cboLocation = makeNamed<QComboBox>(this, "cboLocation");
    LIB_FillLocationCombo(cboLocation);
    m_period = new StatPeriodPanel(this);

    auto* common = new QFormLayout;
    common->addRow(QStringLiteral("分类模板"), cboTemplate);
    common->addRow(QStringLiteral("文献类型"), cboDocType);
    common->addRow(QStringLiteral("语种"), cboLanguage);
    common->addRow(QStringLiteral("馆藏地"), cboLocation);
    ownConditions = new QFormLayout;
    ownConditions->addRow(m_period);
    auto* conditionsRow = new QHBoxLayout;
    conditionsRow->addLayout(common);
    conditionsRow->addLayout(ownConditions, 1);

    spdResult = LIB_MakeStatGridView(this, "spdResult", &m_grid);
    m_chart = new StatChartPanel(this);
    connect(m_chart, &StatChartPanel::printRequested, this, [this] {
        handOver();
        LIB_ShowChartPrintPreview(this, m_chart->picture());
    });
    lblNotice = LIB_MakeStatNoticeLabel(this);
    lblHelp = new QLabel(this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setWordWrap(true);

    const StatWindowButtons buttons = LIB_LayOutStatWindow(
        this, conditionsRow, LIB_MakeStatResultArea(this, spdResult, m_chart), lblNotice, lblHelp);
    cmdPrint = buttons.print;
    connect(buttons.stat, &QPushButton::clicked, this, &RankingWindow::runStatistics);
    connect(buttons.print, &QPushButton::clicked, this, &RankingWindow::printGrid);
    connect(buttons.exit, &QPushButton::clicked, this, &RankingWindow::close);
    resize(1100, 650);
}

RankingConditions RankingWindow::conditions() const
{
    RankingConditions c;
    c.window = m_window;
    c.bookCounting = m_bookCounting;
    c.statTypeCode = cboTemplate->currentData().toString();
    c.docTypeCode = cboDocType->currentData().toString();
    c.languageCode = cboLanguage->currentData().toString();
    c.location = cboLocation->currentText();
    c.period = m_period->period();
    return c;
}

void RankingWindow::runStatistics()
{
    if (!conditionsAccepted())
        return;
    const LIB_BusyPointer busy;
    cmdPrint->setEnabled(false);
    m_chart->clear();
    const RankingConditions c = conditions();
    m_readLimit = readLimit();
    const int status = RankingStatistics::run(c, m_readLimit, m_titles);
    LIB_ShowStatisticsNotice(lblNotice);
    m_shownLocation = c.location;
    m_shownPeriod = c.period.text();
    m_hasRun = status == 0;
    display();
    cmdPrint->setEnabled(m_hasRun);
}

void RankingWindow::display()
{
    RankingStatistics::fill(m_titles, shownRanks(), m_grid);
    const int figure = m_window == RankingConditions::LendRate ? 8 : 7;
    m_chart->showBars(windowTitle(), m_grid, 1, {figure}, 0, std::min(m_grid.rowCount(), chartBars));
}

void RankingWindow::handOver()
{
    LIB_HandOverStatGrid(windowTitle(), QStringLiteral("馆藏地： ") + m_shownLocation,
                         QStringLiteral("统计时期： ") + m_shownPeriod, m_grid);
}

void RankingWindow::printGrid()
{
    if (m_grid.rowCount() == 0)
        return;
    handOver();
    LIB_ShowPrintDesigner(this);
}
