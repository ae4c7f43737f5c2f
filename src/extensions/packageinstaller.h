#pragma once

#include <QString>
#include <functional>

// Installs add-in and theme packages: a zip archive holding the extension's folder (or, when the
// definition file lies at the top of the archive, the folder's content, named after the archive).
// The archive is unpacked into a hidden staging folder beside the installed ones and only a
// complete, valid folder is moved into place.
class PackageInstaller
{
public:
    enum class Outcome {
        Installed, // the folder is in place
        Staged,    // replaces an installed add-in at the next start
        Invalid,   // no folder with the definition file
        Refused,   // not a readable, safe archive (error() says why)
        Cancelled, // stopped by the progress callback
    };
    struct Result
    {
        Outcome outcome = Outcome::Refused;
        QString folder; // the extension's folder name
        QString error;
    };

    PackageInstaller(const QString& directory, const QString& definitionFile);

    // Folder names the directory accepts (themes check their module); every name by default.
    std::function<bool(const QString& folder)> acceptsFolder;
    // Progress of the unpacking; returning false cancels it.
    std::function<bool(int done, int total)> progress;
    // Add-ins in use cannot be replaced: an installed folder is staged and replaced at the next
    // start. Otherwise it is replaced at once.
    bool stageReplacements = false;
    // The size the archive may expand to.
    qint64 sizeLimit;

    Result install(const QString& packageFile) const;

    // Add-in changes that wait for the next start: folders marked for removal, staged upgrades.
    static void markForRemoval(const QString& directory, const QString& folder);
    static bool isMarkedForRemoval(const QString& directory, const QString& folder);
    static bool hasStagedUpgrade(const QString& directory, const QString& folder);
    static void applyPendingChanges(const QString& directory);

private:
    QString m_directory;
    QString m_definitionFile;
};
