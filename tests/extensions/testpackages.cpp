#include "testpackages.h"

#include "support/testfiles.h"

#include <QDirIterator>
#include <QFile>
#include <QtEndian>
#include <zip.h>

namespace {

// Rewrites the uncompressed size in the member's local header and central directory entry.
bool claimSize(const QString& path, const QByteArray& name, quint32 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const struct
    {
        const char* signature;
        int nameOffset;
        int sizeOffset;
    } headers[] = {{"PK\x03\x04", 30, 22}, {"PK\x01\x02", 46, 24}};
    int patched = 0;
    for (qsizetype at = bytes.indexOf(name); at >= 0; at = bytes.indexOf(name, at + 1)) {
        for (const auto& header : headers) {
            const qsizetype start = at - header.nameOffset;
            if (start >= 0 && bytes.mid(start, 4) == QByteArray(header.signature, 4)) {
                qToLittleEndian(size, bytes.data() + start + header.sizeOffset);
                ++patched;
            }
        }
    }
    file.seek(0);
    return patched == 2 && file.write(bytes) == bytes.size();
}

} // namespace

bool writeZip(const QString& path, const QList<ZipMember>& members)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    // libzip reads the buffers when the archive is closed.
    QList<QByteArray> kept;
    for (const ZipMember& member : members) {
        kept.append(member.data);
        zip_source_t* source =
            zip_source_buffer(archive, kept.last().constData(), zip_uint64_t(kept.last().size()), 0);
        const zip_int64_t index =
            zip_file_add(archive, member.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        if (member.unixMode)
            zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                             zip_uint32_t(member.unixMode) << 16);
    }
    if (zip_close(archive) != 0)
        return false;
    for (const ZipMember& member : members) {
        if (member.claimedSize && !claimSize(path, member.name.toUtf8(), member.claimedSize))
            return false;
    }
    return true;
}

QByteArray addinXml(const QString& id, const QString& library, const QString& className, const QString& body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<addin id=\"%1\" name=\"插件%1\" description=\"测试插件\" version=\"1.0\">\n"
                          "  <Runtime><Import assembly=\"%2\" class=\"%3\"/></Runtime>\n%4</addin>\n")
        .arg(id, library, className, body)
        .toUtf8();
}

bool writeExampleAddins(const QString& directory, const QString& faultyBody)
{
    const QString example = directory + QStringLiteral("/example/");
    return QDir().mkpath(example) && QFile::copy(EXAMPLE_ADDIN_XML, example + QStringLiteral("addin.xml")) &&
           QFile::copy(EXAMPLE_ADDIN_LIBRARY, example + QStringLiteral("libExampleAddin.so")) &&
           writeFile(directory + QStringLiteral("/faulty/addin.xml"),
                     addinXml(QStringLiteral("faulty"), FAULTY_ADDIN_LIBRARY, QStringLiteral("Faulty.Lib"),
                              faultyBody));
}

QStringList filesBelow(const QString& directory)
{
    QStringList found;
    QDirIterator it(directory, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next().mid(directory.size() + 1);
    found.sort();
    return found;
}
