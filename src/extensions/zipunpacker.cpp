#include "zipunpacker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <memory>
#include <sys/stat.h>
#include <zip.h>

namespace {

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct MemberCloser
{
    void operator()(zip_file_t* member) const { zip_fclose(member); }
};
using Member = std::unique_ptr<zip_file_t, MemberCloser>;

Archive openArchive(const QString& path, QString* error)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        *error = QStringLiteral("无法打开压缩文件 %1：%2")
                     .arg(path, QString::fromLocal8Bit(zip_error_strerror(&reason)));
        zip_error_fini(&reason);
    }
    return Archive(archive);
}

} // namespace

QString ZipUnpacker::safeRelativePath(const QString& memberName)
{
    QString name = memberName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')) || (name.size() >= 2 && name.at(1) == QLatin1Char(':')))
        return {};
    QStringList parts;
    for (const QString& part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return {};
        if (part != QLatin1String("."))
            parts << part;
    }
    return parts.join(QLatin1Char('/'));
}

bool ZipUnpacker::refuse(const QString& why)
{
    m_error = why;
    return false;
}

bool ZipUnpacker::open(const QString& zipFile)
{
    m_zipFile = zipFile;
    m_entries.clear();
    m_error.clear();
    Archive archive = openArchive(zipFile, &m_error);
    if (!archive)
        return false;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) != 0)
            return refuse(QStringLiteral("压缩文件 %1 的目录已损坏。").arg(zipFile));
        Entry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.size = qint64(stat.size);
        entry.packedSize = qint64(stat.comp_size);
        entry.crc = stat.crc;
        entry.compressionMethod = stat.comp_method;
        entry.encrypted = stat.encryption_method != ZIP_EM_NONE;
        entry.modified = QDateTime::fromSecsSinceEpoch(stat.mtime);
        entry.isDirectory = entry.name.endsWith(QLatin1Char('/'));
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive.get(), zip_uint64_t(i), 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX) {
            const mode_t mode = attributes >> 16;
            const mode_t type = mode & S_IFMT;
            entry.isLink = type == S_IFLNK;
            entry.isSpecial = type != 0 && type != S_IFREG && type != S_IFDIR && type != S_IFLNK;
            entry.isDirectory = entry.isDirectory || type == S_IFDIR;
        }
        m_entries.append(entry);
    }
    return true;
}

// Everything that can be judged from the directory is judged before the first byte is written.
bool ZipUnpacker::checkArchive()
{
    if (m_entries.size() > m_entryLimit)
        return refuse(
            QStringLiteral("压缩文件包含 %1 个成员，超过上限 %2。").arg(m_entries.size()).arg(m_entryLimit));
    qint64 total = 0;
    QSet<QString> seen;
    for (const Entry& entry : std::as_const(m_entries)) {
        const QString path = safeRelativePath(entry.name);
        if (path.isEmpty())
            return refuse(QStringLiteral("压缩文件成员 %1 的路径超出解压目录。").arg(entry.name));
        if (entry.isLink || entry.isSpecial)
            return refuse(QStringLiteral("压缩文件成员 %1 不是普通文件。").arg(entry.name));
        if (entry.encrypted)
            return refuse(QStringLiteral("压缩文件成员 %1 已加密。").arg(entry.name));
        if (seen.contains(path.toLower()))
            return refuse(QStringLiteral("压缩文件成员 %1 重复。").arg(entry.name));
        seen.insert(path.toLower());
        total += entry.size;
        if (entry.size < 0 || entry.size > m_sizeLimit || total > m_sizeLimit)
            return refuse(QStringLiteral("压缩文件解压后超过 %1 字节的上限。").arg(m_sizeLimit));
    }
    return true;
}

bool ZipUnpacker::extractTo(const QString& folder)
{
    if (!checkArchive())
        return false;
    QFileInfo target(folder);
    if (target.exists())
        return refuse(QStringLiteral("解压目录 %1 已经存在。").arg(folder));
    if (!QDir().mkpath(target.absoluteFilePath()))
        return refuse(QStringLiteral("不能建立解压目录 %1。").arg(folder));
    if (extractMembers(target.absoluteFilePath()))
        return true;
    QDir(target.absoluteFilePath()).removeRecursively();
    return false;
}

bool ZipUnpacker::extractMembers(const QString& root)
{
    Archive archive = openArchive(m_zipFile, &m_error);
    if (!archive)
        return false;
    qint64 written = 0;
    for (int i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries.at(i);
        if (selected && !selected(i))
            continue;
        const QString target = root + QLatin1Char('/') + safeRelativePath(entry.name);
        if (entry.isDirectory) {
            if (!QDir().mkpath(target))
                return refuse(QStringLiteral("不能建立目录 %1。").arg(target));
        } else {
            if (!QDir().mkpath(QFileInfo(target).absolutePath()))
                return refuse(QStringLiteral("不能建立目录 %1。").arg(QFileInfo(target).absolutePath()));
            Member member(zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
            QFile out(target);
            if (!member || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                return refuse(QStringLiteral("不能解压文件 %1。").arg(entry.name));
            // The directory's sizes are not trusted: the bytes actually written are counted too.
            char buffer[65536];
            qint64 memberBytes = 0;
            zip_int64_t got = 0;
            while ((got = zip_fread(member.get(), buffer, sizeof buffer)) > 0) {
                memberBytes += got;
                written += got;
                if (memberBytes > entry.size || written > m_sizeLimit)
                    return refuse(QStringLiteral("压缩文件解压后超过 %1 字节的上限。").arg(m_sizeLimit));
                if (out.write(buffer, got) != got)
                    return refuse(QStringLiteral("不能写入文件 %1。").arg(target));
            }
            if (got < 0 || memberBytes != entry.size)
                return refuse(QStringLiteral("压缩文件成员 %1 已损坏。").arg(entry.name));
        }
        if (progress && !progress(i + 1, int(m_entries.size())))
            return refuse(QStringLiteral("解压已中断。"));
    }
    return true;
}
