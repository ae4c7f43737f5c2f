#pragma once

// What the robustness tests share: a message presenter that several desks may use at once, an
// administrative session that survives the server going away, and a switchable pause inside the
// server's procedures for fault tests (the desk's process comes from support/deskprocess.h).

#include "db/dbsession.h"
#include "db/messages.h"
#include "desk/deskcontext.h"
#include "support/deskprocess.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// Records every box with the desk (thread tag) that showed it and answers it: through the answer
// function when one is set, otherwise with OK. Safe to use from several threads.
class SharedPresenter : public MessagePresenter
{
public:
    static SharedPresenter* install();

    // Tags the boxes of the calling thread (0 unless set).
    static void setDeskTag(int tag);

    int show(const Box& box) override;

    void setAnswer(std::function<int(const Box&)> answer);
    QStringList texts(int tag = 0) const;
    QStringList takeTexts(int tag = 0); // and forgets them
    void clear();

private:
    mutable QMutex m_mutex;
    QList<QPair<int, QString>> m_boxes;
    std::function<int(const Box&)> m_answer;
};

// A session of its own for looking at and arranging the database from any thread; reconnects
// when the server has gone away meanwhile.
class AdminLink
{
public:
    explicit AdminLink(const ConnectionValues& values);
    bool connect();
    // The first value of the first row; null on failure (error() says why).
    QString text(const QString& sql);
    long long number(const QString& sql) { return text(sql).toLongLong(); }
    bool exec(const QString& sql);
    QString error() const { return m_error; }

private:
    bool run(const std::function<int(DbSession&)>& statement);
    DbSession m_session;
    QString m_error;
};

// A pause in the server's procedures: after a row of an armed table is written, the writing
// session sleeps until the table is released (or a minute has passed), so that the test can
// break the session at exactly that point. Armed with "commit", the session sleeps inside its
// COMMIT instead, when the transaction wrote to one of the tables.
class ProcedurePause
{
public:
    static constexpr const char* AtCommit = "commit";

    // Installs the pause triggers on these tables of the database.
    static bool install(AdminLink& admin, const QStringList& tables);
    static bool arm(AdminLink& admin, const QString& table);
    static bool release(AdminLink& admin);

    // Waits (from another thread, through `watcher`) until the session `pid` sleeps in the pause.
    // false when the operation ended without pausing (`operationDone`) or the bounded wait ran out.
    static bool awaitPaused(AdminLink& watcher, int pid, const std::atomic<bool>& operationDone);
};

// The number of rounds (and a wall-clock cap in seconds) for loops that a full run scales up:
// READDESK_ROBUSTNESS_ROUNDS and READDESK_ROBUSTNESS_SECONDS.
int robustnessRounds(int fallback);
int robustnessSeconds(int fallback);
