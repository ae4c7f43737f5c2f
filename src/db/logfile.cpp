#include "logfile.h"

#include "dbenvironment.h"

#include <QFile>

int LIB_WriteLogFile(const QString& text, int mode)
{
    return LIB_WriteLogFileAt(QDateTime::currentDateTime(), text, mode);
}

int LIB_WriteLogFileAt(const QDateTime& moment, const QString& text, int mode)
{
    const QString directory = DbEnvironment::logDirectory();
    if (directory.isEmpty())
        return -1;
    const QString path =
        directory + moment.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("_Log.log");
    QFile file(path);
    const QIODevice::OpenMode openMode =
        mode == 1 ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::WriteOnly | QIODevice::Append;
    if (!file.open(openMode))
        return -1;
    const QString line = moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QLatin1Char(';') + text +
                         QStringLiteral("\r\n");
    return file.write(line.toUtf8()) < 0 ? -1 : 0;
}
