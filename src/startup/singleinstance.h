#pragma once

#include <QString>
#include <memory>

class QLockFile;

// The desk's presence on this machine: a lock file named after the suite's mutex TAVORN3_MUTEX_3 in
// the user's runtime directory. The first desk holds it for its whole run (a crashed desk's lock is
// recognised as stale by its process id); a later start finds it held and knows another desk runs.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& runtimeDirectory = defaultRuntimeDirectory());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    static QString mutexName() { return QStringLiteral("TAVORN3_MUTEX_3"); }
    static QString defaultRuntimeDirectory();

    // Takes the lock when it is free. Never fails the start-up: when another desk holds the lock,
    // anotherInstanceRuns() says so and the caller decides.
    void open();
    bool anotherInstanceRuns() const { return m_anotherRuns; }
    QString lockFilePath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_anotherRuns = false;
};
