#pragma once

#include "offlinejournal.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QThread;
struct ErrorRecord;

// The desk's offline state. When a statement finds the connection lost and the operator does not
// (or cannot) reconnect, the desk goes offline instead of stopping work: the recording modes'
// scans go into the offline journal, stamped with the server's estimated time, and the server is
// asked in the background every few seconds. Once it answers, the desk reconnects and catches up:
// the journal is recorded in order through the desk's own operations, a few scans at a time
// between the window's events, while new scans join the journal behind them; the desk is back to
// normal when the journal is empty. Scans the checks now refuse are kept in the refused list.
class OfflineDesk : public QObject
{
    Q_OBJECT
public:
    enum class State { Online, Offline, CatchingUp };

    explicit OfflineDesk(QObject* parent = nullptr);
    ~OfflineDesk() override;

    // Opens the journal; false (with the reason in journalError()) leaves the desk without one:
    // offline scans then cannot be kept and are refused with a message.
    bool openJournal(const QString& path);
    OfflineJournal& journal() { return m_journal; }
    QString journalError() const { return m_journal.error(); }

    // After a login: measures the server's clock and catches up with what the journal holds.
    // Scans of other operators are caught up only when `confirm` (asked with those operators and
    // their scans' count) agrees; otherwise they wait for a later login.
    using OthersQuestion = std::function<bool(const QStringList& workers, int scans)>;
    void start(const QString& worker, const OthersQuestion& confirm);

    State state() const { return m_state; }
    bool isOffline() const { return m_state == State::Offline; }
    // Recording scans go to the journal: offline, and while catching up (the journal keeps the
    // order of the scans).
    bool journals() const { return m_state != State::Online; }

    // Journals a scan made now: its key and the server's estimated time are given here. false
    // when the journal could not keep it (journalError() says why).
    bool journalScan(OfflineScan& scan);

    int waitingCount() { return m_journal.waitingCount(); }
    int refusedCount() { return m_journal.refusedCount(); }
    // "脱机：n 条待补录" and the like; empty while online.
    QString stateText();

    // Lost connections reported so far, and whether the last one broke a commit (the scan's event
    // may then be recorded already).
    int lossesSeen() const { return m_losses; }
    bool lastLossAtCommit() const { return m_lossAtCommit; }

    // How often the server is asked while offline (milliseconds); asking at once.
    void setCheckInterval(int milliseconds) { m_check.setInterval(milliseconds); }
    void checkServerNow();

    // Goes offline as after a lost connection the operator did not restore.
    void goOffline();

Q_SIGNALS:
    void stateChanged(); // the state, the waiting count or the refused count changed
    // Catching up ended with an empty journal; `refused` scans were refused on the way.
    void caughtUp(int refused);

private:
    void connectionLost(const ErrorRecord& lost, bool reconnected);
    void serverAnswered(bool answers);
    void reconnect();
    void beginCatchingUp();
    void catchUpSome();

    OfflineJournal m_journal;
    State m_state = State::Online;
    QStringList m_skippedWorkers; // whose scans wait for a later login
    QTimer m_check;
    QThread* m_ping = nullptr;
    int m_losses = 0;
    bool m_lossAtCommit = false;
    int m_refusedThisRun = 0;
};
