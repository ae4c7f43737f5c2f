#include "localreadertypes.h"

#include "codes/codetables.h"
#include "db/logfile.h"
#include "startup/environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

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
    QStringList codes;
    for (const QString& line : readLocalReaderTypesFile(path).value_or(QStringList())) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(LocalReaderTypes::LocalMark))
            codes.append(trimmed.mid(4, 2).trimmed());
    }
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
