#include "offlinedesk.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/logfile.h"
#include "db/serverping.h"
#include "offlinereplay.h"
#include "serverclock.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <climits>
#include <memory>

namespace {

// The server is asked this often while the desk is offline.
constexpr int CheckIntervalMs = 3000;
// A ping waits this long for an answer (on its own thread: the desk keeps scanning).
constexpr int PingTimeoutSeconds = 2;
// Catching up records scans for about this long between two turns of the window's event loop.
constexpr int CatchUpSliceMs = 25;
constexpr int CatchUpBatch = 50;

// The one desk that listens to the error reporter.
OfflineDesk* g_listening = nullptr;

} // namespace

OfflineDesk::OfflineDesk(QObject* parent) : QObject(parent)
{
    m_check.setInterval(CheckIntervalMs);
    connect(&m_check, &QTimer::timeout, this, &OfflineDesk::checkServerNow);
    g_listening = this;
    LIB_DB_SetConnectionLossObserver([](const ErrorRecord& lost, bool reconnected) {
        if (g_listening)
            g_listening->connectionLost(lost, reconnected);
    });
}

OfflineDesk::~OfflineDesk()
{
    if (g_listening == this)
        g_listening = nullptr;
    if (m_ping)
        m_ping->wait();
}

bool OfflineDesk::openJournal(const QString& path)
{
    return m_journal.open(path);
}

void OfflineDesk::start(const QString& worker, const OthersQuestion& confirm)
{
    if (ServerClock::instance().measure() != 0)
        LIB_DB_Error().clear(); // the workstation's clock stands in until the next contact
    m_skippedWorkers.clear();
    QStringList others = m_journal.waitingWorkers();
    others.removeAll(worker);
    if (!others.isEmpty()) {
        const int theirs = int(m_journal.waiting(INT_MAX, {worker}).size());
        if (!confirm || !confirm(others, theirs))
            m_skippedWorkers = others;
    }
    if (!m_journal.waiting(1, m_skippedWorkers).isEmpty())
        beginCatchingUp();
    else
        Q_EMIT stateChanged();
}

bool OfflineDesk::journalScan(OfflineScan& scan)
{
    scan.scanTime = ServerClock::instance().now();
    const bool kept = m_journal.append(scan);
    Q_EMIT stateChanged();
    return kept;
}

QString OfflineDesk::stateText()
{
    switch (m_state) {
    case State::Offline:
        return QStringLiteral("脱机：%1 条扫描待补录").arg(waitingCount());
    case State::CatchingUp:
        return QStringLiteral("正在补录脱机扫描：还有 %1 条").arg(waitingCount());
    default:
        return {};
    }
}

void OfflineDesk::connectionLost(const ErrorRecord& lost, bool reconnected)
{
    ++m_losses;
    m_lossAtCommit = lost.routine == QLatin1String("LIB_DB_CommitTrans");
    if (!reconnected)
        goOffline();
    else if (m_state == State::Offline) // the operator reconnected from another window
        beginCatchingUp();
}

void OfflineDesk::goOffline()
{
    if (m_state == State::Offline)
        return;
    m_state = State::Offline;
    m_check.start();
    Q_EMIT stateChanged();
}

void OfflineDesk::checkServerNow()
{
    if (m_state != State::Offline || m_ping)
        return;
    const ConnectionValues values = DbSession::current().connectionValues();
    auto answers = std::make_shared<std::atomic<bool>>(false);
    m_ping =
        QThread::create([values, answers] { *answers = LIB_DB_ServerAnswers(values, PingTimeoutSeconds); });
    connect(m_ping, &QThread::finished, this, [this, answers] {
        m_ping->deleteLater();
        m_ping = nullptr;
        serverAnswered(*answers);
    });
    m_ping->start();
}

void OfflineDesk::serverAnswered(bool answers)
{
    if (answers && m_state == State::Offline)
        reconnect();
}

void OfflineDesk::reconnect()
{
    if (LIB_DB_Connect() != 0) {
        LIB_DB_Error().clear(); // still out of reach; the next check tries again
        return;
    }
    if (ServerClock::instance().measure() != 0)
        LIB_DB_Error().clear();
    beginCatchingUp();
}

void OfflineDesk::beginCatchingUp()
{
    m_state = State::CatchingUp;
    m_check.stop();
    m_refusedThisRun = 0;
    Q_EMIT stateChanged();
    QTimer::singleShot(0, this, &OfflineDesk::catchUpSome);
}

void OfflineDesk::catchUpSome()
{
    if (m_state != State::CatchingUp)
        return;
    const QList<OfflineScan> scans = m_journal.waiting(CatchUpBatch, m_skippedWorkers);
    if (scans.isEmpty()) {
        m_state = State::Online;
        Q_EMIT stateChanged();
        Q_EMIT caughtUp(m_refusedThisRun);
        return;
    }
    QElapsedTimer slice;
    slice.start();
    for (const OfflineScan& scan : scans) {
        const ReplayResult result = LIB_ReplayOfflineScan(scan);
        if (result.outcome == ReplayResult::ConnectionLost) {
            goOffline();
            return;
        }
        const bool kept = result.outcome == ReplayResult::Recorded
                              ? m_journal.remove(scan)
                              : m_journal.refuse(scan, result.messageCode, result.messageText);
        if (!kept) {
            // The scan is safe on the server (or refused again next time); the journal is tried
            // again a little later.
            LIB_WriteLogFile(QStringLiteral("offline journal: ") + m_journal.error());
            Q_EMIT stateChanged();
            QTimer::singleShot(CheckIntervalMs, this, &OfflineDesk::catchUpSome);
            return;
        }
        if (result.outcome == ReplayResult::Refused)
            ++m_refusedThisRun;
        if (slice.elapsed() >= CatchUpSliceMs)
            break;
    }
    Q_EMIT stateChanged();
    QTimer::singleShot(0, this, &OfflineDesk::catchUpSome);
}
