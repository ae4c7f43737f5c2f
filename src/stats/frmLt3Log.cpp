#include "frmLt3Log.h"

#include "codes/codetables.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "print/clsProgressBar.h"
#include "print/printdesigner.h"
#include "readinglogfilterpanel.h"
#include "readinglogloader.h"
#include "readinglogmodel.h"
#include "readinglogprint.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A short query ends before its progress display would only flash.
constexpr int progressDelayMs = 300;

QDate serverDate()
{
    const QDate date = QDate::fromString(LIB_GetEnv(1).toString(), QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? date : QDate::currentDate();
}

} // namespace

frmLt3Log::frmLt3Log(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmLt3Log"));
    setWindowTitle(QStringLiteral("阅览日志查询"));
    m_model = new ReadingLogModel(this);
    m_loader = new ReadingLogLoader(this);
    buildControls();

    spdReadLog->setFont(DeskSettings::current().displayFont());
    const QDate today = serverDate();
    dtpBeginDate->setDate(today);
    dtpEndDate->setDate(today);
    for (auto kind : {ReadingLogKind::Reader, ReadingLogKind::Book, ReadingLogKind::ReaderBook})
        cboType->addItem(readingLogKindText(kind));
    cboType->setCurrentIndex(0);
    setKind(0);
    connect(cboType, &QComboBox::currentIndexChanged, this, &frmLt3Log::setKind);
    fillFilterLists();

    connect(m_loader, &ReadingLogLoader::progressed, this, [this](int done, int total) {
        clsProgressBar* progress = m_progress.get();
        if (!progress)
            return;
        progress->setMax(total);
        progress->setValue(done);
        // The display turns the event loop: the rows may have arrived and ended the query.
        if (m_progress.get() == progress && progress->Interrupt())
            m_loader->cancel();
    });
    connect(m_loader, &ReadingLogLoader::loaded, this, [this](const ReadingLogRows& rows) {
        m_model->setRows(rows);
        spdReadLog->setFont(DeskSettings::current().displayFont());
        endSeek();
    });
    connect(m_loader, &ReadingLogLoader::failed, this, &frmLt3Log::showFailure);
    connect(m_loader, &ReadingLogLoader::cancelled, this, &frmLt3Log::endSeek);
}

frmLt3Log::~frmLt3Log()
{
    // Closed with the desk while a query runs: the pointer and the progress display go too.
    m_loader->cancel();
    endSeek();
}

void frmLt3Log::buildControls()
{
    fraCondition = new QGroupBox(QStringLiteral("检索条件"), this);
    cboType = makeNamed<QComboBox>(fraCondition, "cboType");
    auto dateEdit = [this](const char* name) {
        auto* edit = makeNamed<QDateEdit>(fraCondition, name);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        return edit;
    };
    auto timeEdit = [this](const char* name, QTime start) {
        auto* edit = makeNamed<QTimeEdit>(fraCondition, name);
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        edit->setTime(start);
        return edit;
    };
    dtpBeginDate = dateEdit("dtpBeginDate");
    dtpBeginTime = timeEdit("dtpBeginTime", QTime(8, 0));
    dtpEndDate = dateEdit("dtpEndDate");
    dtpEndTime = timeEdit("dtpEndTime", QTime(18, 0));
    chkLocation = makeNamed<QCheckBox>(fraCondition, "chkLocation", QStringLiteral("馆藏地选择"));
    chkRedrType = makeNamed<QCheckBox>(fraCondition, "chkRedrType", QStringLiteral("读者类型选择"));
    chkWkrno = makeNamed<QCheckBox>(fraCondition, "chkWkrno", QStringLiteral("工作人员选择"));
    cmdSeek = makeNamed<QPushButton>(fraCondition, "cmdSeek", QStringLiteral("查询"));
    cmdPrint = makeNamed<QPushButton>(fraCondition, "cmdPrint", QStringLiteral("打印(&P)"));
    cmdExit = makeNamed<QPushButton>(fraCondition, "cmdExit", QStringLiteral("返回(&E)"));

    auto* criteria = new QGridLayout(fraCondition);
    criteria->addWidget(new QLabel(QStringLiteral("阅览方式"), fraCondition), 0, 0);
    criteria->addWidget(cboType, 0, 1, 1, 2);
    criteria->addWidget(new QLabel(QStringLiteral("起始时间"), fraCondition), 1, 0);
    criteria->addWidget(dtpBeginDate, 1, 1);
    criteria->addWidget(dtpBeginTime, 1, 2);
    criteria->addWidget(new QLabel(QStringLiteral("截止时间"), fraCondition), 2, 0);
    criteria->addWidget(dtpEndDate, 2, 1);
    criteria->addWidget(dtpEndTime, 2, 2);
    criteria->addWidget(chkLocation, 0, 3);
    criteria->addWidget(chkRedrType, 1, 3);
    criteria->addWidget(chkWkrno, 2, 3);
    criteria->addWidget(cmdSeek, 0, 4);
    criteria->addWidget(cmdPrint, 1, 4);
    criteria->addWidget(cmdExit, 2, 4);
    criteria->setColumnStretch(5, 1);

    spdReadLog = makeNamed<QTableView>(this, "spdReadLog");
    spdReadLog->setModel(m_model);
    spdReadLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    spdReadLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    spdReadLog->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    spdReadLog->horizontalHeader()->setDefaultSectionSize(110);
    spdReadLog->horizontalHeader()->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraCondition);
    layout->addWidget(spdReadLog, 1);
    resize(960, 600);

    fraLocation = new ReadingLogFilterPanel("fraLocation", QStringLiteral("E尚未选择馆藏地!"), this);
    fraRedrType = new ReadingLogFilterPanel("fraRedrType", QStringLiteral("E尚未选择读者类型!"), this);
    fraWkrno = new ReadingLogFilterPanel("fraWkrno", QStringLiteral("E尚未选择工作人员!"), this);
    const std::pair<QCheckBox*, ReadingLogFilterPanel*> filters[] = {
        {chkLocation, fraLocation}, {chkRedrType, fraRedrType}, {chkWkrno, fraWkrno}};
    for (const auto& [box, panel] : filters) {
        connect(box, &QCheckBox::toggled, this,
                [this, box = box, panel = panel](bool ticked) { boxToggled(box, panel, ticked); });
        connect(panel, &ReadingLogFilterPanel::accepted, this, &frmLt3Log::updateSeekEnabled);
        connect(panel, &ReadingLogFilterPanel::cancelled, box, [box = box] { box->setChecked(false); });
    }

    connect(cmdSeek, &QPushButton::clicked, this, &frmLt3Log::seek);
    connect(cmdPrint, &QPushButton::clicked, this, &frmLt3Log::print);
    connect(cmdExit, &QPushButton::clicked, this, &frmLt3Log::close);
    m_progressDelay = new QTimer(this);
    m_progressDelay->setSingleShot(true);
    connect(m_progressDelay, &QTimer::timeout, this, &frmLt3Log::showProgress);
}

void frmLt3Log::fillFilterLists()
{
    const ResultTable& locations = LIB_CodeTable(CodeTable::Locations);
    for (int row = 2; row < locations.recordCount() + 2; ++row)
        fraLocation->addEntry(locations.text(1, row), locations.text(0, row));
    const ResultTable& types = LIB_CodeTable(CodeTable::ReaderTypes);
    for (int row = 2; row < types.recordCount() + 2; ++row)
        fraRedrType->addEntry(types.text(1, row), types.text(0, row));
    QList<ReadingLogStaff> staff;
    readReadingLogStaff(staff);
    for (const ReadingLogStaff& member : staff)
        fraWkrno->addEntry(member.name + QLatin1Char('(') + member.number + QLatin1Char(')'), member.number);
}

ReadingLogKind frmLt3Log::kind() const
{
    return ReadingLogKind(std::clamp(cboType->currentIndex(), 0, 2));
}

void frmLt3Log::setKind(int index)
{
    m_model->clear();
    const auto chosen = ReadingLogKind(std::clamp(index, 0, 2));
    for (int c = 0; c < m_model->columnCount(); ++c)
        spdReadLog->setColumnHidden(c, !ReadingLogModel::columnShown(chosen, c));
    const bool readerTypes = chosen != ReadingLogKind::Book;
    if (!readerTypes)
        chkRedrType->setChecked(false);
    chkRedrType->setEnabled(readerTypes);
}

void frmLt3Log::boxToggled(QCheckBox* box, ReadingLogFilterPanel* panel, bool ticked)
{
    if (!ticked) {
        panel->hide();
    } else if (fraLocation->isVisible() || fraRedrType->isVisible() || fraWkrno->isVisible()) {
        // One panel at a time: the tick is taken back.
        const QSignalBlocker blocker(box);
        box->setChecked(false);
    } else {
        placePanels();
        panel->show();
        panel->raise();
        panel->list()->setFocus();
    }
    updateSeekEnabled();
}

void frmLt3Log::updateSeekEnabled()
{
    cmdSeek->setEnabled(!fraLocation->isVisible() && !fraRedrType->isVisible() && !fraWkrno->isVisible());
}

void frmLt3Log::placePanels()
{
    const QRect grid = spdReadLog->geometry();
    const QRect area(grid.left() + 20, grid.top() + 10, std::min(grid.width() - 40, 320),
                     std::min(grid.height() - 20, 320));
    for (ReadingLogFilterPanel* panel : {fraLocation, fraRedrType, fraWkrno})
        panel->setGeometry(area);
}

void frmLt3Log::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePanels();
}

ReadingLogFilters frmLt3Log::filters() const
{
    ReadingLogFilters chosen;
    if (chkLocation->isChecked())
        chosen.locations = fraLocation->selectedCodes();
    if (chkWkrno->isChecked())
        chosen.workers = fraWkrno->selectedCodes();
    if (chkRedrType->isChecked())
        chosen.readerTypes = fraRedrType->selectedCodes();
    return chosen;
}

void frmLt3Log::seek()
{
    const QString from = readingLogBound(dtpBeginDate->date(), dtpBeginTime->time());
    const QString to = readingLogBound(dtpEndDate->date(), dtpEndTime->time());
    if (from > to) {
        LIB_ShowMsg(QStringLiteral("E起止时间输入错误!"));
        dtpBeginDate->setFocus();
        return;
    }
    m_seeking = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    fraCondition->setEnabled(false);
    m_loader->start(kind(), readingLogStatement(kind(), from, to, filters()));
    m_progressDelay->start(progressDelayMs);
}

void frmLt3Log::showProgress()
{
    if (!m_seeking)
        return;
    m_progress = std::make_unique<clsProgressBar>();
    m_progress->setTitle(windowTitle());
    m_progress->setMax(1);
    m_progress->SetLockSource(this);
    m_progress->Show();
    // "取消" is heard at once, also while the server is still running the log statement.
    if (m_progress && m_progress->window())
        connect(m_progress->window(), &frmShowRate::cancelled, m_loader, &ReadingLogLoader::cancel);
}

void frmLt3Log::endSeek()
{
    if (!m_seeking)
        return;
    m_seeking = false;
    m_progressDelay->stop();
    if (m_progress) {
        // Released later: this may run inside the display's own turn of the event loop.
        m_progress->Finish();
        QTimer::singleShot(0, qApp, [progress = m_progress.release()] { delete progress; });
    }
    fraCondition->setEnabled(true);
    QApplication::restoreOverrideCursor();
    Q_EMIT seekEnded();
}

void frmLt3Log::showFailure(const ErrorRecord& error, const QString& statement)
{
    endSeek();
    LIB_DB_Error() = error;
    LIB_DB_CurrentStatement() = statement;
    LIB_DB_ShowError();
}

void frmLt3Log::print()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int rows = handOverReadingLog(*m_model, kind());
    QApplication::restoreOverrideCursor();
    if (rows > 0)
        LIB_ShowPrintDesigner(this);
}

void frmLt3Log::closeEvent(QCloseEvent* event)
{
    m_loader->cancel();
    endSeek();
    QWidget::closeEvent(event);
}
