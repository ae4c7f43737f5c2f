// The desk window while the server is out of reach: the offline state in the title and the status
// bar, the recording modes' scans kept in the offline journal (listed as waiting), the commands
// that need the server refused with a message, and the list of scans refused when catching up.
#include "db/logfile.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "frmOfflineRefused.h"
#include "frmReadMain.h"
#include "mainwindowgrid.h"
#include "offlinedesk.h"
#include "offlinerows.h"
#include "startup/environment.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>

namespace {

const QString OfflineReason = QStringLiteral("脱机状态（与数据库服务器的连接已中断）");

// The commands whose windows read or write the library database.
bool needsServer(const QString& commandId)
{
    static const QSet<QString> ids{QStringLiteral("mnuCopyFine"),     QStringLiteral("mnuReJoin"),
                                   QStringLiteral("mnuRedrInfo"),     QStringLiteral("mnuLt3Log"),
                                   QStringLiteral("mnuInfoSeekBook"), QStringLiteral("mnuInfoSeekReader"),
                                   QStringLiteral("mnuDelrecord"),    QStringLiteral("mnuInfoReaderStat"),
                                   QStringLiteral("mnuInfoBookStat"), QStringLiteral("mnuRedrStat"),
                                   QStringLiteral("mnuBookStat"),     QStringLiteral("mnuRedrCount"),
                                   QStringLiteral("mnuUsingStat"),    QStringLiteral("mnuReadUseRate"),
                                   QStringLiteral("mnuStatJob")};
    return ids.contains(commandId);
}

} // namespace

void frmReadMain::setUpOffline()
{
    m_offline = new OfflineDesk(this);
    sbrOffline = new QLabel(this);
    sbrOffline->setObjectName(QStringLiteral("sbrOffline"));
    sbrOffline->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: #c0392b; padding: 0 6px; }"));
    sbrOffline->hide();
    statusBar()->addPermanentWidget(sbrOffline);
    cmdOfflineRefused = new QToolButton(this);
    cmdOfflineRefused->setObjectName(QStringLiteral("cmdOfflineRefused"));
    cmdOfflineRefused->setAutoRaise(true);
    cmdOfflineRefused->hide();
    statusBar()->addPermanentWidget(cmdOfflineRefused);
    connect(cmdOfflineRefused, &QToolButton::clicked, this, [this] {
        openRefusedScans();
        m_refusedWindow->activateWindow();
        m_refusedWindow->setFocus();
    });
    connect(m_offline, &OfflineDesk::stateChanged, this, &frmReadMain::showOfflineState);
    connect(m_offline, &OfflineDesk::caughtUp, this, [this](int refused) {
        if (refused > 0)
            openRefusedScans();
    });
}

void frmReadMain::startOffline()
{
    // Without a journal the desk still works online; offline scans then say they cannot be kept.
    if (!m_offline->openJournal(OfflineJournal::pathIn(Environment::instance().programDirectory())))
        LIB_WriteLogFile(QStringLiteral("offline journal: ") + m_offline->journalError());
    m_offline->start(m_desk.worker, [](const QStringList& workers, int scans) {
        return LIB_ShowMsg(
                   QStringLiteral(
                       "Q脱机记录中有其他操作员（%1）的 %2 条扫描尚未补录。\r现在以他们的名义补录吗？")
                       .arg(workers.join(QStringLiteral("、")))
                       .arg(scans)) == 1;
    });
}

void frmReadMain::showOfflineState()
{
    const QString text = m_offline->stateText();
    const QString title = LIB_GetSysPara(1).toString();
    setWindowTitle(text.isEmpty() ? title : title + QStringLiteral(" - ") + text);
    sbrOffline->setText(text);
    sbrOffline->setVisible(!text.isEmpty());
    const int refused = m_offline->refusedCount();
    cmdOfflineRefused->setText(QStringLiteral("脱机扫描未登记 %1 条").arg(refused));
    cmdOfflineRefused->setVisible(refused > 0);
}

bool frmReadMain::refusedWhileOffline(const QString& commandId)
{
    if (!m_offline->isOffline() || !needsServer(commandId))
        return false;
    const QAction* item = m_menuItems.value(commandId);
    const QString caption = item ? item->text().remove(QLatin1Char('&')) : commandId;
    LIB_ShowMsg(QStringLiteral("E") + OfflineReason + QStringLiteral("，不能使用“") + caption +
                QStringLiteral("”。\r请等状态栏不再显示“脱机”后再试。"));
    return true;
}

bool frmReadMain::lostDuring(int lossesBefore) const
{
    return m_offline->lossesSeen() != lossesBefore && m_offline->isOffline();
}

bool frmReadMain::journalScan(DeskMode mode, const QString& readerCode, const QString& bookCode,
                              bool uncertain)
{
    OfflineScan scan;
    scan.worker = m_desk.worker;
    scan.location = m_desk.location;
    scan.mode = mode;
    scan.readerCode = readerCode;
    scan.bookCode = bookCode;
    scan.uncertain = uncertain;
    if (!m_offline->journalScan(scan)) {
        LIB_ShowMsg(QStringLiteral("E脱机记录无法写入，本次扫描没有记录！\r") + m_offline->journalError());
        return false;
    }
    DeskGridModel* grid = mode == DeskMode::BookCounting    ? m_books
                          : mode == DeskMode::ReaderCheckIn ? m_readers
                                                            : m_readerBooks;
    grid->appendRow(OfflineRows::waitingCells(scan));
    DeskGrid::showNewest(resultGrid(mode));
    return true;
}

bool frmReadMain::scanReaderOffline(const QString& text, bool uncertain)
{
    m_desk.readerAdmitted = false;
    const bool empty = text.trimmed().isEmpty();
    switch (m_desk.mode) {
    case DeskMode::ReaderCheckIn: {
        const bool kept = !empty && journalScan(DeskMode::ReaderCheckIn, text, {}, uncertain);
        txtRedrBarcode->clear();
        txtRedrBarcode->setFocus();
        return kept;
    }
    case DeskMode::ReaderBookRegistration:
        if (!empty) {
            // The reader is let in now and checked when the desk catches up with the books.
            m_offlineReader = text;
            DeskGrid::setPanelValues(vsRedrInfo, {OfflineRows::waitingMark(), {}, text});
            txtBar_code->setEnabled(true);
            txtBar_code->setFocus();
            txtRedrBarcode->setEnabled(false);
            return true;
        }
        break;
    case DeskMode::IdentityCheck:
        LIB_ShowMsg(QStringLiteral("E") + OfflineReason + QStringLiteral("，不能验证读者身份。"));
        break;
    default:
        refuseCopyScanOffline(true);
        txtLendBookBarCode->setEnabled(false);
        break;
    }
    txtRedrBarcode->setEnabled(true);
    txtRedrBarcode->clear();
    txtRedrBarcode->setFocus();
    return false;
}

bool frmReadMain::journalsRegistration() const
{
    return m_offline->journals() || (!m_offlineReader.isEmpty() && m_offlineReader == txtRedrBarcode->text());
}

void frmReadMain::refuseCopyScanOffline(bool lending)
{
    LIB_ShowMsg(QStringLiteral("E") + OfflineReason + QStringLiteral("：") +
                (lending ? QStringLiteral("复印外借") : QStringLiteral("复印归还")) +
                QStringLiteral("需要连接服务器，本次扫描没有记录。"));
}

void frmReadMain::openRefusedScans()
{
    if (!m_refusedWindow) {
        m_refusedWindow = new frmOfflineRefused(m_offline->journal(), this);
        m_refusedWindow->setAttribute(Qt::WA_ShowWithoutActivating);
        connect(m_refusedWindow, &frmOfflineRefused::cleared, this, &frmReadMain::showOfflineState);
    } else {
        m_refusedWindow->reload();
    }
    // Opened beside the desk, it leaves the focus in the scan box: the queue goes on scanning.
    QWidget* scanning = isActiveWindow() ? QApplication::focusWidget() : nullptr;
    m_refusedWindow->show();
    m_refusedWindow->raise();
    if (scanning) {
        activateWindow();
        scanning->setFocus();
    }
}
