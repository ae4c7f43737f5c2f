#include "dumpdecoder.h"

#include <QByteArray>
#include <QStringList>

QString LIB_DecodeDump(const QString& dumped)
{
    if (dumped.isEmpty() || dumped == QLatin1String("NULL"))
        return {};
    const qsizetype colon = dumped.indexOf(QLatin1Char(':'));
    const QString items = dumped.mid(colon + 1).trimmed();
    if (items.isEmpty())
        return {};
    QByteArray bytes;
    const QStringList hex = items.split(QLatin1Char(','));
    bytes.reserve(hex.size());
    for (const QString& item : hex)
        bytes.append(char(item.trimmed().toUInt(nullptr, 16)));
    // The length word counts itself: four bytes (length times four) for a value the server worked
    // out, one byte (length times two, plus one) for a short value read from a table as it lies.
    // Without one (another server's dump) every byte is text.
    const qsizetype size = bytes.size();
    const quint8 first = quint8(bytes.at(0));
    if ((first & 1) == 1 && first >> 1 == size) {
        bytes.remove(0, 1);
    } else if (size >= 4 && (first & 3) == 0) {
        const quint32 word = first | quint32(quint8(bytes[1])) << 8 | quint32(quint8(bytes[2])) << 16 |
                             quint32(quint8(bytes[3])) << 24;
        if (word >> 2 == quint32(size))
            bytes.remove(0, 4);
    }
    return QString::fromUtf8(bytes);
}
