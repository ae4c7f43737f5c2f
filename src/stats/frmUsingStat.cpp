#include "frmUsingStat.h"

#include "db/messages.h"
#include "print/basExport.h"
#include "print/chartprint.h"
#include "print/frmNewPrint.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"
#include "statchartpanel.h"
#include "statlogperiodbox.h"
#include "statprint.h"
#include "statwindowparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int chartBars = 30;
}

frmUsingStat::frmUsingStat(bool bookCounting, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bookCounting(bookCounting)
{
    setObjectName(QStringLiteral("frmUsingStat"));
    setWindowTitle(QStringLiteral("高利用率图书列表"));
    m_period = new StatLogPeriodBox(QStringLiteral("时间区间"), this);
    cboLocation = makeNamed<QComboBox>(this, "cboLocation");
    LIB_FillLocationCombo(cboLocation);
    cboCount = makeNamed<QComboBox>(this, "cboCount");
    cboCount->addItems({QStringLiteral("选择 50种书"), QStringLiteral("选择100种书"),
                        QStringLiteral("选择200种书"), QStringLiteral("选择300种书"),
                        QStringLiteral("选择400种书"), QStringLiteral("选择500种书"),
                        QStringLiteral(" [自定义]")});
    connect(cboCount, &QComboBox::activated, this, &frmUsingStat::countChosen);
    auto* settings = new QFormLayout;
    settings->addRow(QStringLiteral("馆 藏 地"), cboLocation);
    settings->addRow(QStringLiteral("选择种数"), cboCount);
    auto* conditionsRow = new QHBoxLayout;
    conditionsRow->addWidget(m_period);
    conditionsRow->addLayout(settings, 1);

    spdResult = LIB_MakeStatGridView(this, "spdResult", &m_grid);
    spdResult->horizontalHeader()->setSectionsClickable(true);
    connect(spdResult->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        // A second click on the marked heading turns the order round.
        const bool ascending = !m_grid.headings().value(column).endsWith(QStringLiteral("▲"));
        m_grid.sortRows(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    m_chart = new StatChartPanel(this);
    connect(m_chart, &StatChartPanel::printRequested, this, [this] {
        LIB_HandOverStatGrid(QStringLiteral("图书利用率统计"),
                             QStringLiteral("馆藏地：") + cboLocation->currentText(),
                             QStringLiteral("统计时间：") + m_period->period().text(), m_grid);
        LIB_ShowChartPrintPreview(this, m_chart->picture());
    });
    lblNotice = LIB_MakeStatNoticeLabel(this);
    cmdSave = makeNamed<QPushButton>(this, "cmdSave", QStringLiteral("保存"));
    cmdSave->setEnabled(false);
    const StatWindowButtons buttons = LIB_LayOutStatWindow(
        this, conditionsRow, LIB_MakeStatResultArea(this, spdResult, m_chart), lblNotice, nullptr, {cmdSave});
    cmdPrint = buttons.print;
    connect(buttons.stat, &QPushButton::clicked, this, &frmUsingStat::runStatistics);
    connect(buttons.print, &QPushButton::clicked, this, &frmUsingStat::printGrid);
    connect(cmdSave, &QPushButton::clicked, this, &frmUsingStat::saveGrid);
    connect(buttons.exit, &QPushButton::clicked, this, &frmUsingStat::close);
    resize(1000, 600);
}

void frmUsingStat::countChosen(int index)
{
    if (cboCount->itemText(index) != QStringLiteral(" [自定义]")) {
        m_count = LIB_LeadingNumber(cboCount->itemText(index).mid(2));
        return;
    }
    bool given = false;
    const QString answer = QInputDialog::getText(this, QStringLiteral("热门图书统计"),
                                                 QStringLiteral("请输入将要统计的图书的种数") +
                                                     QStringLiteral(" 如: 10,20,100 等数字"),
                                                 QLineEdit::Normal, QString(), &given);
    if (!given)
        return;
    const int count = answer.trimmed().toInt(&given);
    if (!given || count <= 0) {
        LIB_ShowMsg(QStringLiteral("E条件输入不正确！"));
        return;
    }
    m_count = count;
}

UsingStatConditions frmUsingStat::conditions() const
{
    UsingStatConditions c;
    c.bookCounting = m_bookCounting;
    c.period = m_period->period();
    c.location = cboLocation->currentText();
    c.count = m_count;
    return c;
}

void frmUsingStat::runStatistics()
{
    const LIB_BusyPointer busy;
    cmdPrint->setEnabled(false);
    cmdSave->setEnabled(false);
    m_chart->clear();
    const int status = UsingStatistics::run(conditions(), m_grid);
    LIB_ShowStatisticsNotice(lblNotice);
    m_listed = status == 0 && m_grid.rowCount() > 0;
    m_chart->showBars(windowTitle(), m_grid, 3, {6}, 0, std::min(m_grid.rowCount(), chartBars));
    cmdPrint->setEnabled(m_listed);
    cmdSave->setEnabled(m_listed);
}

void frmUsingStat::printGrid()
{
    if (!m_listed)
        return;
    frmNewPrint printer(this);
    printer.Spd2Flex(m_grid);
    printer.PrintAll(QStringLiteral("图书利用率统计"), QStringLiteral("第 %d 页"));
}

void frmUsingStat::saveGrid()
{
    if (m_listed)
        ExportSpreadToAccess(spdResult);
}
