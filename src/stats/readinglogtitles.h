#pragma once

#include "readinglogmodel.h"

#include <QList>
#include <atomic>
#include <functional>

class DbSession;

// Fills the title, author and publisher cells of log rows from their items' MARC records. Each
// record is read once, the numbers in order (the records of one statement then lie close
// together on the server), 500 to a statement, on several connected sessions at once: while one
// connection waits for the server, another thread takes its records apart. Runs on the calling
// thread with the first session and on a thread of its own for each further one.
class ReadingLogTitles
{
public:
    using Progress = std::function<void(int setsDone, int sets)>; // called on any of the threads

    ReadingLogTitles(QList<DbSession*> sessions, const std::atomic_bool& cancel, Progress progress)
        : m_sessions(std::move(sessions)), m_cancel(cancel), m_progress(std::move(progress))
    {
    }

    // true when every set was read (or the cancel flag ended the reading: the cells then stay
    // partly empty). false after a failure, with failedSession() holding its error record.
    bool read(ReadingLogRows& rows);
    int records() const { return m_records; }
    DbSession* failedSession() const { return m_failed; }

private:
    QList<DbSession*> m_sessions;
    const std::atomic_bool& m_cancel;
    Progress m_progress;
    int m_records = 0;
    DbSession* m_failed = nullptr;
};
