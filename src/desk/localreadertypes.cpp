#include "localreadertypes.h"

#include "codes/codetables.h"
#include "db/logfile.h"
#include "startup/environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file as it was last read, kept open: a look at the open file (no path to resolve) tells
// whether it is still the file at the path (a file put in its place or removed leaves the open one
// without links) and whether it was written since (another size or modification time).
class WatchedFile
{
public:
    ~WatchedFile() { close(); }

    bool unchanged(const QString& path) const
    {
        struct stat st;
        return m_fd >= 0 && path == m_path && ::fstat(m_fd, &st) == 0 && st.st_nlink > 0 &&
               st.st_size == m_size && st.st_mtim.tv_sec == m_modified.tv_sec &&
               st.st_mtim.tv_nsec == m_modified.tv_nsec;
    }

    // Opens the file at the path before it is read; a file that cannot be opened is looked for
    // again next time.
    void open(const QString& path)
    {
        close();
        m_path = path;
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        struct stat st;
        if (m_fd >= 0 && ::fstat(m_fd, &st) == 0) {
            m_size = st.st_size;
            m_modified = st.st_mtim;
        } else {
            close();
        }
    }

private:
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    QString m_path;
    int m_fd = -1;
    off_t m_size = 0;
    timespec m_modified{};
};

// The file's lines written from the cached reader types, every type local.
QStringList linesFromReaderTypes()
{
    const ResultTable& types = LIB_CodeTable(CodeTable::ReaderTypes);
    QStringList lines;
    for (int row = 2; row < types.recordCount() + 2; ++row)
        lines.append(localReaderTypeLine(LocalReaderTypes::LocalMark, types.text(ReaderTypeColumn::Code, row),
                                         types.text(ReaderTypeColumn::Name, row)));
    return lines;
}

bool isReaderTypeName(const QString& name)
{
    const ResultTable& types = LIB_CodeTable(CodeTable::ReaderTypes);
    for (int row = 2; row < types.recordCount() + 2; ++row) {
        if (types.text(ReaderTypeColumn::Name, row) == name)
            return true;
    }
    return false;
}

bool matchesReaderTypes(const QStringList& lines)
{
    if (lines.size() != LIB_CodeTable(CodeTable::ReaderTypes).recordCount())
        return false;
    for (const QString& line : lines) {
        if (!isReaderTypeName(line.mid(11).trimmed()))
            return false;
    }
    return true;
}

} // namespace

QString localReaderTypesFilePath()
{
    return LIB_Path(Environment::Cfg) + QStringLiteral("LT/LT_ReaderType.ini");
}

std::optional<QStringList> readLocalReaderTypesFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.isEmpty())
            break;
        lines.append(line);
    }
    return lines;
}

bool writeLocalReaderTypesFile(const QString& path, const QStringList& lines)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    for (const QString& line : lines)
        text += line.toUtf8() + "\r\n";
    file.write(text);
    return file.commit();
}

QString localReaderTypeLine(const QString& mark, const QString& code, const QString& name)
{
    return mark + QStringLiteral("  ") + code.leftJustified(8, QLatin1Char(' ')) + name;
}

QStringList LIB_LoadLocalReaderTypes(const QString& path)
{
    // Every admission asks; the file changes rarely (the local reader selection rewrites it), so
    // the codes of the last reading serve while the file stays as it was. One cache per thread:
    // desks may run in threads of one process.
    thread_local WatchedFile watched;
    thread_local QStringList cached;
    if (watched.unchanged(path))
        return cached;
    watched.open(path);

    QStringList codes;
    for (const QString& line : readLocalReaderTypesFile(path).value_or(QStringList())) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(LocalReaderTypes::LocalMark))
            codes.append(trimmed.mid(4, 2).trimmed());
    }
    cached = codes;
    return codes;
}

int LIB_MaintainLocalReaderTypesFile(const QString& path)
{
    if (QFileInfo::exists(path)) {
        const std::optional<QStringList> lines = readLocalReaderTypesFile(path);
        if (lines && matchesReaderTypes(*lines))
            return 0;
    }
    if (writeLocalReaderTypesFile(path, linesFromReaderTypes()))
        return 0;
    LIB_WriteLogFile(QStringLiteral("本地读者类型文件无法写入：") + QDir::toNativeSeparators(path));
    return -1;
}
