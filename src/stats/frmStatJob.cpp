#include "frmStatJob.h"

#include "db/database.h"
#include "print/chartprint.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"
#include "statchartpanel.h"
#include "statprint.h"
#include "statwindowparts.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

frmStatJob::frmStatJob(const QString& pattern, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStatJob"));
    setWindowTitle(QStringLiteral("工作量统计"));
    auto* staff = new QLabel(QStringLiteral("工号:") + LIB_GetEnv(4).toString(), this);
    staff->setObjectName(QStringLiteral("lblStaff"));

    auto* kinds = new QGroupBox(QStringLiteral("类型"), this);
    optYear = makeNamed<QRadioButton>(kinds, "optYear", QStringLiteral("年"));
    optMonth = makeNamed<QRadioButton>(kinds, "optMonth", QStringLiteral("月"));
    optDay = makeNamed<QRadioButton>(kinds, "optDay", QStringLiteral("日"));
    optRange = makeNamed<QRadioButton>(kinds, "optRange", QStringLiteral("区间"));
    auto* kindsLayout = new QHBoxLayout(kinds);
    for (QRadioButton* option : {optYear, optMonth, optDay, optRange}) {
        kindsLayout->addWidget(option);
        connect(option, &QRadioButton::toggled, this, &frmStatJob::applyKind);
    }

    calDate = makeNamed<QCalendarWidget>(this, "calDate");
    txtBegin = makeNamed<QLineEdit>(this, "txtBegin");
    txtEnd = makeNamed<QLineEdit>(this, "txtEnd");
    const QString today = LIB_DB_ServerDate().left(10);
    for (QLineEdit* box : {txtBegin, txtEnd}) {
        box->setInputMask(QStringLiteral("9999-99-99"));
        box->setText(today);
        box->installEventFilter(this);
    }
    m_activeDateBox = txtBegin;
    calDate->setSelectedDate(QDate::fromString(today, QStringLiteral("yyyy-MM-dd")));
    connect(calDate, &QCalendarWidget::clicked, this, &frmStatJob::calendarClicked);
    optMonth->setChecked(true);
    applyKind();

    spdJob = LIB_MakeStatGridView(this, "spdJob", &m_grid);
    m_chart = new StatChartPanel(this);
    connect(m_chart, &StatChartPanel::printRequested, this, [this] {
        LIB_HandOverStatGrid(windowTitle(), QStringLiteral("工号：") + LIB_GetEnv(4).toString(),
                             QStringLiteral("统计时间：") + periodText(), m_grid);
        LIB_ShowChartPrintPreview(this, m_chart->picture());
    });
    auto* splitter = new QSplitter(this);
    splitter->addWidget(spdJob);
    splitter->addWidget(m_chart);

    auto* cmdStat = makeNamed<QPushButton>(this, "cmdStat", QStringLiteral("统计(&S)"));
    auto* cmdExit = makeNamed<QPushButton>(this, "cmdExit", QStringLiteral("退出(&X)"));
    connect(cmdStat, &QPushButton::clicked, this, &frmStatJob::runStatistics);
    connect(cmdExit, &QPushButton::clicked, this, &frmStatJob::close);

    auto* dates = new QHBoxLayout;
    dates->addWidget(new QLabel(QStringLiteral("起始日期"), this));
    dates->addWidget(txtBegin);
    dates->addWidget(new QLabel(QStringLiteral("截止日期"), this));
    dates->addWidget(txtEnd);
    auto* left = new QVBoxLayout;
    left->addWidget(staff);
    left->addWidget(kinds);
    left->addWidget(calDate);
    left->addLayout(dates);
    left->addStretch();
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(cmdStat);
    commands->addWidget(cmdExit);
    auto* right = new QVBoxLayout;
    right->addWidget(splitter, 1);
    right->addLayout(commands);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    resize(1000, 480);

    m_statistics.loadJobTypes(pattern, m_grid);
}

bool frmStatJob::eventFilter(QObject* watched, QEvent* event)
{
    // The date box that last had the focus takes the calendar's date.
    if (event->type() == QEvent::FocusIn && (watched == txtBegin || watched == txtEnd))
        m_activeDateBox = static_cast<QLineEdit*>(watched);
    return QDialog::eventFilter(watched, event);
}

void frmStatJob::applyKind()
{
    txtBegin->setEnabled(optRange->isChecked());
    txtEnd->setEnabled(optRange->isChecked());
}

void frmStatJob::calendarClicked(const QDate& date)
{
    if (optRange->isChecked() && m_activeDateBox)
        m_activeDateBox->setText(date.toString(QStringLiteral("yyyy-MM-dd")));
}

JobStatistics::Kind frmStatJob::kind() const
{
    if (optYear->isChecked())
        return JobStatistics::Year;
    if (optDay->isChecked())
        return JobStatistics::Day;
    if (optRange->isChecked())
        return JobStatistics::Range;
    return JobStatistics::Month;
}

QString frmStatJob::periodText() const
{
    const QString date = calDate->selectedDate().toString(QStringLiteral("yyyy-MM-dd"));
    switch (kind()) {
    case JobStatistics::Year:
        return date.left(4);
    case JobStatistics::Month:
        return date.left(7);
    case JobStatistics::Day:
        return date;
    default:
        return txtBegin->text() + QStringLiteral(" 至 ") + txtEnd->text();
    }
}

void frmStatJob::runStatistics()
{
    const LIB_BusyPointer busy;
    const QString date = calDate->selectedDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (m_statistics.run(LIB_GetEnv(4).toString(), kind(), date, txtBegin->text(), txtEnd->text(), m_grid) !=
        0)
        return;
    m_chart->showBars(windowTitle(), m_grid, 0, {1, 2}, 0, m_grid.rowCount());
}
