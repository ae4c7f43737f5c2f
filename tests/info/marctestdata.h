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

// The bytes of a text as the directory counts them: UTF-8, or the ANSI code page of the earlier
// Chinese cataloguing, where every character outside ASCII takes two bytes.
inline int countedBytes(const QString& text, MarcRecord::ByteCount count)
{
    if (count == MarcRecord::ByteCount::Utf8)
        return int(text.toUtf8().size());
    int bytes = 0;
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : 2;
    return bytes;
}

// ISO 2709 text (in UTF-8) of (tag, field) pairs; "$" in a field stands for the subfield mark.
// Lengths and starts count bytes as `count` says.
inline QByteArray iso2709(const QList<QPair<QString, QString>>& fields,
                          MarcRecord::ByteCount count = MarcRecord::ByteCount::Utf8)
{
    QString directory;
    QString data;
    int dataBytes = 0;
    for (const auto& [tag, text] : fields) {
        const QString field = QString(text).replace(QLatin1Char('$'), QChar(31)) + QChar(30);
        const int bytes = countedBytes(field, count);
        directory += tag + QString::number(bytes).rightJustified(4, QLatin1Char('0')) +
                     QString::number(dataBytes).rightJustified(5, QLatin1Char('0'));
        data += field;
        dataBytes += bytes;
    }
    directory += QChar(30);
    const int base = 24 + int(directory.size());
    const int length = base + dataBytes + 1;
    const QString leader =
        QString::number(length).rightJustified(5, QLatin1Char('0')) + QStringLiteral("nam0 22") +
        QString::number(base).rightJustified(5, QLatin1Char('0')) + QStringLiteral("   4500");
    return (leader + directory + data + QChar(29)).toUtf8();
}

// The fields of a record as (tag, text) pairs with "$" for the subfield mark.
inline QList<QPair<QString, QString>> fieldsOf(const MarcRecord& record)
{
    QList<QPair<QString, QString>> fields;
    for (int f = 0; f < record.fieldCount(); ++f)
        fields.append(
            {record.directory().at(f).tag, record.fieldText(f).replace(QChar(31), QLatin1Char('$'))});
    return fields;
}

// A CN MARC record of more than 2,000 bytes with Chinese text: the real UNIMARC sample (2,498
// bytes) with a Chinese title, publication and contents note in place of its own.
inline QList<QPair<QString, QString>> longChineseFields()
{
    QList<QPair<QString, QString>> fields =
        fieldsOf(MarcRecord::fromIso2709(sampleRecords(QStringLiteral("unimarc-1.mrc")).value(0)));
    for (auto& [tag, text] : fields) {
        if (tag == QLatin1String("200"))
            text = QStringLiteral("1 $a基地与帝国$f(美)阿西莫夫著$g叶李华译");
        else if (tag == QLatin1String("210"))
            text = QStringLiteral("  $a成都$c四川科学技术出版社$d2005");
    }
    fields.append(
        {QStringLiteral("327"), QStringLiteral("0 $a心理史学家$a百科全书编者$a市长$a行商$a商业王侯 ") +
                                    QString(200, QChar(0x8BFB)) + QStringLiteral(" ")});
    return fields;
}

inline MarcRecord cnMarc(const QList<QPair<QString, QString>>& fields)
{
    MarcRecord record = MarcRecord::fromIso2709(iso2709(fields));
    record.setHeader({QStringLiteral("C"), {}, {}, {}, {}, {}, {}});
    return record;
}

} // namespace marctest
