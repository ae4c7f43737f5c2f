#include "packageinstaller.h"

#include "zipunpacker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString pendingFolder = QStringLiteral(".pending");
const QString removalMark = QStringLiteral(".uninstall");

bool holdsFile(const QDir& folder, const QString& fileName)
{
    return !folder.entryList({fileName}, QDir::Files).isEmpty(); // the name filter ignores case
}

} // namespace

PackageInstaller::PackageInstaller(const QString& directory, const QString& definitionFile)
    : sizeLimit(ZipUnpacker::defaultSizeLimit), m_directory(QDir::cleanPath(directory)),
      m_definitionFile(definitionFile)
{
}

PackageInstaller::Result PackageInstaller::install(const QString& packageFile) const
{
    Result result;
    if (!QDir().mkpath(m_directory)) {
        result.error = QStringLiteral("不能建立目录 %1。").arg(m_directory);
        return result;
    }
    QTemporaryDir staging(m_directory + QStringLiteral("/.unpack-XXXXXX"));
    ZipUnpacker unpacker;
    unpacker.setSizeLimit(sizeLimit);
    bool cancelled = false;
    unpacker.progress = [this, &cancelled](int done, int total) {
        cancelled = progress && !progress(done, total);
        return !cancelled;
    };
    const QString unpacked = staging.filePath(QStringLiteral("package"));
    if (!staging.isValid() || !unpacker.open(packageFile) || !unpacker.extractTo(unpacked)) {
        result.outcome = cancelled ? Outcome::Cancelled : Outcome::Refused;
        result.error = staging.isValid() ? unpacker.errorString() : staging.errorString();
        return result;
    }

    QDir content(unpacked);
    QString source;
    if (holdsFile(content, m_definitionFile)) {
        source = unpacked;
        result.folder = QFileInfo(packageFile).completeBaseName();
    } else {
        const QStringList folders = content.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (folders.size() == 1 && holdsFile(QDir(content.filePath(folders.first())), m_definitionFile)) {
            result.folder = folders.first();
            source = content.filePath(result.folder);
        }
    }
    if (source.isEmpty() || result.folder.startsWith(QLatin1Char('.')) ||
        (acceptsFolder && !acceptsFolder(result.folder))) {
        result.outcome = Outcome::Invalid;
        return result;
    }

    const QString destination = m_directory + QLatin1Char('/') + result.folder;
    if (QFileInfo::exists(destination) && stageReplacements) {
        const QString staged =
            m_directory + QLatin1Char('/') + pendingFolder + QLatin1Char('/') + result.folder;
        QDir(staged).removeRecursively();
        QDir().mkpath(QFileInfo(staged).absolutePath());
        result.outcome = QDir().rename(source, staged) ? Outcome::Staged : Outcome::Refused;
    } else {
        // The folder replaced goes into the staging folder and is removed with it.
        if (QFileInfo::exists(destination))
            QDir().rename(destination, staging.filePath(QStringLiteral("replaced")));
        result.outcome = QDir().rename(source, destination) ? Outcome::Installed : Outcome::Refused;
    }
    if (result.outcome == Outcome::Refused)
        result.error = QStringLiteral("不能将 %1 放入 %2。").arg(result.folder, m_directory);
    return result;
}

void PackageInstaller::markForRemoval(const QString& directory, const QString& folder)
{
    QFile mark(QDir(directory).filePath(folder + QLatin1Char('/') + removalMark));
    mark.open(QIODevice::WriteOnly);
}

bool PackageInstaller::isMarkedForRemoval(const QString& directory, const QString& folder)
{
    return QFileInfo::exists(QDir(directory).filePath(folder + QLatin1Char('/') + removalMark));
}

bool PackageInstaller::hasStagedUpgrade(const QString& directory, const QString& folder)
{
    return QFileInfo::exists(QDir(directory).filePath(pendingFolder + QLatin1Char('/') + folder));
}

void PackageInstaller::applyPendingChanges(const QString& directory)
{
    QDir root(directory);
    const QDir pending(root.filePath(pendingFolder));
    // Removals first: an add-in removed after an upgrade was staged stays removed.
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (isMarkedForRemoval(directory, folder)) {
            QDir(root.filePath(folder)).removeRecursively();
            QDir(pending.filePath(folder)).removeRecursively();
        }
    }
    for (const QString& folder : pending.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QDir(root.filePath(folder)).removeRecursively();
        root.rename(pending.filePath(folder), root.filePath(folder));
    }
}
