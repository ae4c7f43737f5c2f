#include "dumpdecoder.h"

#include <QStringList>

QString LIB_DecodeDump(const QString& dumped)
{
    if (dumped.isEmpty() || dumped == QLatin1String("NULL"))
        return {};
    const int colon = dumped.indexOf(QLatin1Char(':'));
    const QString bytesText = dumped.mid(colon + 1).trimmed();
    if (bytesText.isEmpty())
        return {};
    const QStringList items = bytesText.split(QLatin1Char(','));
    QString text;
    text.reserve(items.size() / 2 + 1);
    for (int i = 0; i < items.size(); i += 2) {
        const uint high = items.at(i).trimmed().toUInt(nullptr, 16);
        const uint low = i + 1 < items.size() ? items.at(i + 1).trimmed().toUInt(nullptr, 16) : 0;
        text.append(QChar(char16_t((high << 8) | low)));
    }
    return text;
}
