#include "cunzip.h"

#include "extensionmessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <zip.h>

namespace {

QString fileNameOf(const QString& member)
{
    return member.section(QLatin1Char('/'), -1);
}

QString folderOf(const QString& member)
{
    const QString path = ZipUnpacker::safeRelativePath(member);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

// A file without NUL bytes counts as text; its line ends become CR LF.
bool convertLineEnds(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    file.close();
    if (data.contains('\0'))
        return true;
    QByteArray converted;
    converted.reserve(data.size() + data.size() / 16);
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c == '\r') {
            converted += "\r\n";
            if (i + 1 < data.size() && data.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            converted += "\r\n";
        } else {
            converted += c;
        }
    }
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(converted) == converted.size();
}

} // namespace

int cUnzip::Directory()
{
    m_files.clear();
    m_selected.clear();
    m_error.clear();
    m_directoryOf = ZipFile;
    if (!m_unpacker.open(ZipFile)) {
        m_error = m_unpacker.errorString();
        return -1;
    }
    const QList<ZipUnpacker::Entry>& entries = m_unpacker.entries();
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries.at(i).isDirectory) {
            m_files.append(i);
            m_selected.append(true);
        }
    }
    return 0;
}

const ZipUnpacker::Entry* cUnzip::file(int index) const
{
    return index >= 0 && index < m_files.size() ? &m_unpacker.entries().at(m_files.at(index)) : nullptr;
}

QString cUnzip::FileName(int index) const
{
    return file(index) ? fileNameOf(file(index)->name) : QString();
}

QString cUnzip::FileDirectory(int index) const
{
    return file(index) ? folderOf(file(index)->name) : QString();
}

qint64 cUnzip::FileSize(int index) const
{
    return file(index) ? file(index)->size : 0;
}

qint64 cUnzip::FilePackedSize(int index) const
{
    return file(index) ? file(index)->packedSize : 0;
}

int cUnzip::FileCompressionRatio(int index) const
{
    const qint64 size = FileSize(index);
    return size > 0 ? int(qRound64(100.0 * double(size - FilePackedSize(index)) / double(size))) : 0;
}

QDateTime cUnzip::FileDate(int index) const
{
    return file(index) ? file(index)->modified : QDateTime();
}

quint32 cUnzip::FileCRC(int index) const
{
    return file(index) ? file(index)->crc : 0;
}

QString cUnzip::FileCompressionMethod(int index) const
{
    if (!file(index))
        return {};
    switch (file(index)->compressionMethod) {
    case ZIP_CM_STORE:
        return QStringLiteral("Stored");
    case ZIP_CM_DEFLATE:
        return QStringLiteral("Deflated");
    case ZIP_CM_DEFLATE64:
        return QStringLiteral("Deflate64");
    case ZIP_CM_BZIP2:
        return QStringLiteral("BZip2");
    case ZIP_CM_LZMA:
        return QStringLiteral("LZMA");
    case ZIP_CM_XZ:
        return QStringLiteral("XZ");
    default:
        return QStringLiteral("Method %1").arg(file(index)->compressionMethod);
    }
}

bool cUnzip::FileEncrypted(int index) const
{
    return file(index) && file(index)->encrypted;
}

bool cUnzip::FileSelected(int index) const
{
    return index >= 0 && index < m_selected.size() && m_selected.at(index);
}

void cUnzip::SetFileSelected(int index, bool selected)
{
    if (index >= 0 && index < m_selected.size())
        m_selected[index] = selected;
}

QString cUnzip::GetVersion()
{
    return QStringLiteral("libzip ") + QString::fromLatin1(zip_libzip_version());
}

int cUnzip::findFile(const QString& fileName) const
{
    const Qt::CaseSensitivity cs = CaseSensitiveFileNames ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString wanted = ZipUnpacker::safeRelativePath(fileName);
    for (int i = 0; i < FileCount(); ++i) {
        const QString stored = ZipUnpacker::safeRelativePath(file(i)->name);
        if (stored.compare(wanted, cs) == 0 || FileName(i).compare(wanted, cs) == 0)
            return i;
    }
    return -1;
}

bool cUnzip::IsExistFile(const QString& fileName) const
{
    return findFile(fileName) >= 0;
}

QString cUnzip::GetFilePath(const QString& fileName) const
{
    const int index = findFile(fileName);
    return index < 0 ? QString() : FileDirectory(index);
}

void cUnzip::note(int level, const QString& text)
{
    if (level >= MessageLevel)
        m_messages << text;
}

QString cUnzip::targetPath(const ZipUnpacker::Entry& entry) const
{
    QString relative = UseFolderNames ? ZipUnpacker::safeRelativePath(entry.name) : fileNameOf(entry.name);
    if (SpaceToUnderScore)
        relative.replace(QLatin1Char(' '), QLatin1Char('_'));
    return QDir(UnzipFolder).filePath(relative);
}

// Whether an existing file may be replaced by the member.
bool cUnzip::mayWrite(const QString& target, const ZipUnpacker::Entry& entry)
{
    const QFileInfo existing(target);
    if (!existing.exists())
        return true;
    if (ExtractOnlyNewer)
        return existing.lastModified() < entry.modified;
    if (OverwriteExisting)
        return true;
    return PromptToOverwrite && LIB_AskQuestion(QStringLiteral("文件 %1 已经存在，是否覆盖？").arg(target),
                                                QStringLiteral("提示"));
}

bool cUnzip::place(const QString& unpacked, const QString& target, const ZipUnpacker::Entry& entry)
{
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return false;
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return false;
    if (!QFile::rename(unpacked, target))
        return false;
    if (ConvertCRToCRLF && !convertLineEnds(target))
        return false;
    QFile written(target);
    if (entry.modified.isValid() && written.open(QIODevice::ReadWrite))
        written.setFileTime(entry.modified, QFileDevice::FileModificationTime);
    return true;
}

int cUnzip::Unzip()
{
    m_messages.clear();
    if ((m_directoryOf != ZipFile || m_files.isEmpty()) && Directory() != 0)
        return -1;
    QSet<int> chosen;
    for (int i = 0; i < FileCount(); ++i) {
        if (m_selected.at(i))
            chosen.insert(m_files.at(i));
    }
    // The selected files are unpacked into a staging folder first, beside the target when
    // writing (so that they are moved, not copied) and in the system's temporary folder when
    // testing.
    if (!TestZip && !QDir().mkpath(UnzipFolder)) {
        m_error = QStringLiteral("不能建立目录 %1。").arg(UnzipFolder);
        return -1;
    }
    QTemporaryDir staging(TestZip ? QDir::tempPath() + QStringLiteral("/readdesk-unzip-XXXXXX")
                                  : QDir(UnzipFolder).filePath(QStringLiteral(".unzip-XXXXXX")));
    const QString root = staging.filePath(QStringLiteral("files"));
    m_unpacker.selected = [&chosen](int index) { return chosen.contains(index); };
    if (!staging.isValid() || !m_unpacker.extractTo(root)) {
        m_error = staging.isValid() ? m_unpacker.errorString() : staging.errorString();
        note(1, m_error);
        return -1;
    }
    if (TestZip) {
        for (int index : std::as_const(chosen))
            note(0, QStringLiteral("测试 %1 正确").arg(m_unpacker.entries().at(index).name));
        return int(chosen.size());
    }

    int written = 0;
    for (int i = 0; i < FileCount(); ++i) {
        if (!m_selected.at(i))
            continue;
        const ZipUnpacker::Entry& entry = *file(i);
        const QString target = targetPath(entry);
        if (!mayWrite(target, entry)) {
            note(0, QStringLiteral("跳过 %1").arg(target));
            continue;
        }
        if (!place(root + QLatin1Char('/') + ZipUnpacker::safeRelativePath(entry.name), target, entry)) {
            note(1, QStringLiteral("不能写入文件 %1。").arg(target));
            continue;
        }
        note(0, QStringLiteral("解压 %1").arg(target));
        ++written;
    }
    return written;
}
