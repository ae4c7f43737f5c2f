#include "singleinstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& runtimeDirectory)
    : m_path(QDir(runtimeDirectory).filePath(mutexName() + QStringLiteral(".lock")))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultRuntimeDirectory()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

void SingleInstance::open()
{
    if (m_lock)
        return;
    auto lock = std::make_unique<QLockFile>(m_path);
    // The desk holds the lock for hours: only a dead owner makes it stale, never its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        m_anotherRuns = false;
        return;
    }
    m_anotherRuns = lock->error() == QLockFile::LockFailedError;
}
