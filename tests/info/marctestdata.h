#pragma once

// Records for the MARC tests: the real samples of tests/data/marc and records made by hand.
#include "info/marcrecord.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QStringList>

namespace marctest {

// The records of a sample file, each with its record terminator.
inline QList<QByteArray> sampleRecords(const QString& name)
{
    QFile file(QStringLiteral(MARC_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> records;
    for (const QByteArray& part : file.readAll().split('\x1d')) {
        if (!part.trimmed().isEmpty())
            records.append(part + '\x1d');
    }
    return records;
}

inline MarcRecord sample(const QString& name, int index, const QString& marcType)
{
    MarcRecord record = MarcRecord::fromIso2709(sampleRecords(name).value(index));
    record.setHeader({marcType, {}, {}, {}, {}, {}, {}});
    return record;
}

// ISO 2709 text of (tag, field) pairs; "$" in a field stands for the subfield mark. Lengths and
// starts count UTF-8 bytes.
inline QByteArray iso2709(const QList<QPair<QString, QString>>& fields)
{
    QByteArray directory;
    QByteArray data;
    for (const auto& [tag, text] : fields) {
        QByteArray field = QString(text).replace(QLatin1Char('$'), QChar(31)).toUtf8() + '\x1e';
        directory += tag.toLatin1() + QByteArray::number(field.size()).rightJustified(4, '0') +
                     QByteArray::number(data.size()).rightJustified(5, '0');
        data += field;
    }
    directory += '\x1e';
    const int base = 24 + int(directory.size());
    const int length = base + int(data.size()) + 1;
    const QByteArray leader = QByteArray::number(length).rightJustified(5, '0') + "nam0 22" +
                              QByteArray::number(base).rightJustified(5, '0') + "   4500";
    return leader + directory + data + '\x1d';
}

inline MarcRecord cnMarc(const QList<QPair<QString, QString>>& fields)
{
    MarcRecord record = MarcRecord::fromIso2709(iso2709(fields));
    record.setHeader({QStringLiteral("C"), {}, {}, {}, {}, {}, {}});
    return record;
}

} // namespace marctest
