#include "readercaptions.h"

#include "startup/environment.h"
#include "startup/profilefile.h"

ReaderCaptions& ReaderCaptions::instance()
{
    static ReaderCaptions captions;
    return captions;
}

QString ReaderCaptions::defaultFile()
{
    return LIB_GetEnv(14).toString() + QStringLiteral("LT/LT_reader.ini");
}

void ReaderCaptions::load(const QString& path)
{
    for (int i = 0; i < FieldCount; ++i) {
        const QString key = QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0'));
        m_reader[i] = ProfileFile::read(path, QStringLiteral("读者"), key);
        m_card[i] = ProfileFile::read(path, QStringLiteral("读者证件"), key);
    }
}

QString ReaderCaptions::caption(Section section, int index) const
{
    if (index < 0 || index >= FieldCount)
        return {};
    return section == Reader ? m_reader[index] : m_card[index];
}

QString ReaderCaptions::captionOr(Section section, int index, const QString& fallback) const
{
    const QString text = caption(section, index);
    return text.isEmpty() ? fallback : text;
}
