#include "frmRedrStat.h"

#include "codes/codenames.h"
#include "codes/codetables.h"
#include "frmStatProp.h"
#include "print/chartprint.h"
#include "print/printdesigner.h"
#include "redrstatistics.h"
#include "startup/environment.h"
#include "statchartpanel.h"
#include "statconditions.h"
#include "statprint.h"
#include "statwindowparts.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

frmRedrStat::frmRedrStat(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRedrStat"));
    setWindowTitle(QStringLiteral("阅览分类综合统计"));
    auto* toolbar = new QToolBar(this);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_set = toolbar->addAction(QStringLiteral("条件"), this, &frmRedrStat::setConditions);
    m_set->setObjectName(QStringLiteral("set"));
    m_set->setToolTip(QStringLiteral("设定检索条件"));
    m_go = toolbar->addAction(QStringLiteral("统计"), this, &frmRedrStat::runStatistics);
    m_go->setObjectName(QStringLiteral("go"));
    m_print = toolbar->addAction(QStringLiteral("打印"), this, &frmRedrStat::printGrid);
    m_print->setObjectName(QStringLiteral("print"));
    QAction* exit = toolbar->addAction(QStringLiteral("退出"), this, &frmRedrStat::close);
    exit->setObjectName(QStringLiteral("exit"));
    m_go->setEnabled(false);
    m_print->setEnabled(false);

    auto* panel = new QGroupBox(QStringLiteral("检索条件"), this);
    lblLocation = new QLabel(panel);
    lblLocation->setObjectName(QStringLiteral("lblLocation"));
    lblPeriod = new QLabel(panel);
    lblPeriod->setObjectName(QStringLiteral("lblPeriod"));
    lblTemplate = new QLabel(panel);
    lblTemplate->setObjectName(QStringLiteral("lblTemplate"));
    auto* panelLayout = new QFormLayout(panel);
    panelLayout->addRow(QStringLiteral("统计馆藏:"), lblLocation);
    panelLayout->addRow(QStringLiteral("统计时间:"), lblPeriod);
    panelLayout->addRow(QStringLiteral("分类模板:"), lblTemplate);

    spdStatResult = LIB_MakeStatGridView(this, "spdStatResult", &m_grid);
    m_chart = new StatChartPanel(this);
    connect(m_chart, &StatChartPanel::printRequested, this, [this] {
        handOver();
        LIB_ShowChartPrintPreview(this, m_chart->picture());
    });
    auto* splitter = new QSplitter(this);
    splitter->addWidget(spdStatResult);
    splitter->addWidget(m_chart);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(toolbar);
    layout->addWidget(panel);
    layout->addWidget(splitter, 1);
    resize(1100, 600);
}

void frmRedrStat::setConditions()
{
    frmStatProp::shared().exec();
    showConditions();
    m_go->setEnabled(true);
    m_print->setEnabled(false);
}

void frmRedrStat::showConditions()
{
    const StatConditions& conditions = StatConditions::current();
    lblTemplate->setText(LIB_StatTypeName(conditions.statTypeCode));
    lblLocation->setText(conditions.location);
    lblPeriod->setText(conditions.periodText());
}

void frmRedrStat::runStatistics()
{
    const LIB_BusyPointer busy;
    m_go->setEnabled(false);
    m_chart->clear();
    RedrStatistics::run(StatConditions::current(), m_grid);
    // A bar per reader type for every class (the columns between the patterns and the subtotal).
    const int classes = std::max(0, m_grid.rowCount() - 2);
    QList<int> types;
    for (int column = 2; column < m_grid.columnCount() - 2; ++column)
        types.append(column);
    m_chart->showBars(windowTitle(), m_grid, 0, types, 0, classes);
    m_print->setEnabled(true);
}

void frmRedrStat::handOver()
{
    LIB_HandOverStatGrid(windowTitle(), QStringLiteral("馆藏地：") + lblLocation->text(),
                         QStringLiteral("统计时间：") + lblPeriod->text(), m_grid);
}

void frmRedrStat::printGrid()
{
    if (m_grid.rowCount() == 0)
        return;
    handOver();
    LIB_ShowPrintDesigner(this);
}
