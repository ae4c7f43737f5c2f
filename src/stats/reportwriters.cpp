#include "reportwriters.h"

#include "print/printdesigner.h"
#include "print/workbookexport.h"
#include "statreports.h"

#include <QFile>
#include <cstdio>
#include <utility>

namespace {

const std::pair<const char*, ReportWriter> writers[] = {
    {"csv", LIB_WriteReportCsv},
    {"pdf", LIB_WriteReportPdf},
    {"xlsx", LIB_WriteReportXlsx},
};

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QByteArray csvLine(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields)
        quoted.append(csvField(field));
    return quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

} // namespace

ReportWriter LIB_ReportWriter(const QString& extension)
{
    for (const auto& [name, writer] : writers)
        if (extension.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return writer;
    return nullptr;
}

QStringList LIB_ReportFormats()
{
    QStringList names;
    for (const auto& entry : writers)
        names.append(QLatin1String(entry.first));
    return names;
}

int LIB_WriteReportCsv(const QString& path, const ReportResult& result, QString& error)
{
    QByteArray bytes = "\xEF\xBB\xBF" + csvLine(result.grid.headings());
    for (const QStringList& row : result.grid.rows())
        bytes += csvLine(row);
    if (path == QLatin1String("-")) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : -1;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        error = file.errorString();
        return -1;
    }
    return 0;
}

int LIB_WriteReportPdf(const QString& path, const ReportResult& result, QString& error)
{
    LIB_HandOverStatGrid(result.heading, result.grid);
    if (LIB_PrintHandoverToPdf(path) != 0) {
        error = QStringLiteral("cannot write ") + path;
        return -1;
    }
    return 0;
}

int LIB_WriteReportXlsx(const QString& path, const ReportResult& result, QString& error)
{
    LIB_HandOverStatGrid(result.heading, result.grid);
    return LIB_ExportHandoverToXlsx(path, &error);
}
