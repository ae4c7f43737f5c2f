#include "dbenvironment.h"

#include <QMutex>

namespace {

struct Values
{
    QMutex mutex; // desks of the tests run on several threads
    QString logDirectory;
    QString soundDirectory;
    std::function<QString()> workerNumber;
};

Values& values()
{
    static Values v;
    return v;
}

} // namespace

namespace DbEnvironment {

void setLogDirectory(const QString& directory)
{
    const QMutexLocker lock(&values().mutex);
    values().logDirectory = directory;
}

QString logDirectory()
{
    const QMutexLocker lock(&values().mutex);
    return values().logDirectory;
}

void setSoundDirectory(const QString& directory)
{
    const QMutexLocker lock(&values().mutex);
    values().soundDirectory = directory;
}

QString soundDirectory()
{
    const QMutexLocker lock(&values().mutex);
    return values().soundDirectory;
}

void setWorkerNumberSource(std::function<QString()> source)
{
    const QMutexLocker lock(&values().mutex);
    values().workerNumber = std::move(source);
}

QString workerNumber()
{
    std::function<QString()> source;
    {
        const QMutexLocker lock(&values().mutex);
        source = values().workerNumber;
    }
    return source ? source() : QString();
}

} // namespace DbEnvironment
