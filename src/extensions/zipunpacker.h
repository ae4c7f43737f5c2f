#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

// Unpacks a zip archive (an add-in, theme or update package) safely: every member must stay
// inside the target folder as a plain file or folder, and the archive must not expand past a size
// limit. The archive is checked as a whole before anything is written, and a failure while writing
// removes what was written, so a refused package leaves nothing behind.
class ZipUnpacker
{
public:
    struct Entry
    {
        QString name; // as stored, "/" separated
        qint64 size = 0;
        qint64 packedSize = 0;
        quint32 crc = 0;
        int compressionMethod = 0;
        bool encrypted = false;
        bool isDirectory = false;
        bool isLink = false;
        bool isSpecial = false; // device, pipe or socket
        QDateTime modified;
    };

    static constexpr qint64 defaultSizeLimit = 256LL * 1024 * 1024;
    static constexpr int defaultEntryLimit = 20000;

    ZipUnpacker() = default;
    ZipUnpacker(const ZipUnpacker&) = delete;
    ZipUnpacker& operator=(const ZipUnpacker&) = delete;

    // Reads the archive's directory. False (with errorString()) when it is not a readable archive.
    bool open(const QString& zipFile);
    const QList<Entry>& entries() const { return m_entries; }

    // The expanded size that an archive may reach in total, and its number of members.
    void setSizeLimit(qint64 bytes) { m_sizeLimit = bytes; }
    void setEntryLimit(int entries) { m_entryLimit = entries; }

    // Called after each member with the members done and their total; returning false stops the
    // unpacking, which then counts as failed.
    std::function<bool(int done, int total)> progress;

    // Members (by their index in entries()) to write; every member when unset. The whole archive
    // is checked either way.
    std::function<bool(int index)> selected;

    // Writes every member below folder, which must not exist yet (it is created). On failure the
    // folder is removed again and errorString() says why.
    bool extractTo(const QString& folder);

    QString errorString() const { return m_error; }

    // A member name as a path below the target folder, or an empty text when the name would leave
    // the folder (absolute paths, drive letters, "..") or names nothing.
    static QString safeRelativePath(const QString& memberName);

private:
    bool refuse(const QString& why);
    bool checkArchive();
    bool extractMembers(const QString& root);

    QString m_zipFile;
    QList<Entry> m_entries;
    qint64 m_sizeLimit = defaultSizeLimit;
    int m_entryLimit = defaultEntryLimit;
    QString m_error;
};
