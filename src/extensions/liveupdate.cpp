#include "liveupdate.h"

#include "startup/applicationtitle.h"
#include "startup/desksettingsvalue.h"
#include "startup/environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

const QString settingKey = QStringLiteral("UpdateExcute");
const QString updaterName = QStringLiteral("LiveUpdate.exe");

} // namespace

QString LiveUpdate::defaultUpdater(const QString& executableDirectory)
{
    const QString inProgramDirectory = Environment::instance().programDirectory() + updaterName;
    const QString besideExecutable =
        QDir(executableDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : executableDirectory)
            .filePath(updaterName);
    return !QFileInfo::exists(inProgramDirectory) && QFileInfo::exists(besideExecutable) ? besideExecutable
                                                                                         : inProgramDirectory;
}

QString LiveUpdate::storedUpdater()
{
    const QString stored = openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"))
                               ->value(settingKey)
                               .toString()
                               .trimmed();
    return stored.isEmpty() ? defaultUpdater() : stored;
}

void LiveUpdate::storeUpdater(const QString& program)
{
    openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"))->setValue(settingKey, program);
}

QString LiveUpdate::edition()
{
    return LIB_ApplicationTitle() + QStringLiteral(":%1.%2.%3")
                                        .arg(READDESK_VERSION_MAJOR)
                                        .arg(READDESK_VERSION_MINOR)
                                        .arg(READDESK_VERSION_PATCH, 4, 10, QLatin1Char('0'));
}

QStringList LiveUpdate::arguments(const QString& moduleKey)
{
    return {LIB_GetEnv(4).toString(), LIB_GetEnv(5).toString(), QStringLiteral("editions=") + edition(),
            QStringLiteral("module=") + moduleKey,
            QStringLiteral("home=") + Environment::instance().programDirectory()};
}

QString LiveUpdate::commandLine(const QString& program, const QString& moduleKey)
{
    return (QStringList{program} + arguments(moduleKey)).join(QLatin1Char(' '));
}

bool LiveUpdate::start(const QString& program, const QString& moduleKey)
{
    return QProcess::startDetached(program, arguments(moduleKey), QFileInfo(program).absolutePath());
}
