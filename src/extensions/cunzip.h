#pragma once

#include "zipunpacker.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Unpacks chosen files of a zip archive into a folder, with the options of the desk's unpacking
// (folders kept or flattened, existing files kept, replaced, asked about or updated when older).
// The archive goes through ZipUnpacker, so an archive with a member that would leave the folder,
// a link or too large an expansion is refused whole and nothing is written.
class cUnzip
{
public:
    QString ZipFile;
    QString UnzipFolder;

    bool ExtractOnlyNewer = false;       // write a file only when it is missing or older than the member
    bool SpaceToUnderScore = false;      // blanks in names become "_"
    bool PromptToOverwrite = false;      // ask before replacing a file (when OverwriteExisting is off)
    int MessageLevel = 0;                // 0 every file in messages(), 1 only problems, 2 nothing
    bool TestZip = false;                // read and check the selected files, write nothing
    bool UseFolderNames = true;          // keep the members' folders; otherwise every file goes to the folder
    bool OverwriteExisting = false;      // replace existing files without asking
    bool ConvertCRToCRLF = false;        // text files get CR LF line ends
    bool CaseSensitiveFileNames = false; // for IsExistFile and GetFilePath

    // Reads the archive's file list; every file starts selected. 0, or -1 (errorString()).
    int Directory();

    // The files of the archive (folders are not counted), by index from 0.
    int FileCount() const { return int(m_files.size()); }
    QString FileName(int index) const;      // without its folder
    QString FileDirectory(int index) const; // its folder in the archive, "" at the top
    qint64 FileSize(int index) const;
    qint64 FilePackedSize(int index) const;
    int FileCompressionRatio(int index) const; // per cent saved
    QDateTime FileDate(int index) const;
    quint32 FileCRC(int index) const;
    QString FileCompressionMethod(int index) const;
    bool FileEncrypted(int index) const;
    bool FileSelected(int index) const;
    void SetFileSelected(int index, bool selected);

    // Extracts (or with TestZip checks) the selected files. The number of files written or
    // checked, or -1 (errorString()) when the archive is refused.
    int Unzip();

    static QString GetVersion();
    bool IsExistFile(const QString& fileName) const;
    QString GetFilePath(const QString& fileName) const;

    QString errorString() const { return m_error; }
    QStringList messages() const { return m_messages; }

private:
    const ZipUnpacker::Entry* file(int index) const;
    int findFile(const QString& fileName) const;
    QString targetPath(const ZipUnpacker::Entry& entry) const;
    bool mayWrite(const QString& target, const ZipUnpacker::Entry& entry);
    bool place(const QString& unpacked, const QString& target, const ZipUnpacker::Entry& entry);
    void note(int level, const QString& text);

    ZipUnpacker m_unpacker;
    QString m_directoryOf; // the archive whose list was read
    QList<int> m_files;    // entry index of each file
    QList<bool> m_selected;
    QString m_error;
    QStringList m_messages;
};
