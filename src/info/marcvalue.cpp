#include "marcvalue.h"

namespace {

const QChar delimiter(MarcRecord::SubfieldDelimiter);

QString wholeField(const MarcRecord& record, const QString& tag)
{
    const QString text = record.field(tag).mid(2);
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == delimiter) {
            plain.append(QLatin1Char(' '));
            ++i; // the subfield code goes with its mark
        } else {
            plain.append(text.at(i));
        }
    }
    return plain.trimmed();
}

// A field embedded in a linking field runs from "$1" + its tag to the next "$1". Its text starts
// with its indicators, so the ordinary subfield search applies to it.
QString embeddedField(const QString& linkingField, const QString& embeddedTag)
{
    const QString link = QString(delimiter) + QLatin1Char('1');
    const QString start = link + embeddedTag;
    const qsizetype at = linkingField.indexOf(start, 2);
    if (at < 0)
        return {};
    const qsizetype from = at + start.size();
    const qsizetype next = linkingField.indexOf(link, from);
    return linkingField.mid(from, next < 0 ? -1 : next - from);
}

bool isLinkingPath(const MarcRecord& record, const QString& path, const QString& tag)
{
    return record.type() == MarcRecord::CnMarc && path.size() == 8 && tag >= QLatin1String("400") &&
           tag <= QLatin1String("499");
}

QString valueOfAlternative(const MarcRecord& record, const QString& path)
{
    if (path.size() < 3)
        return {};
    const QString tag = path.left(3);
    if (path.size() == 3)
        return wholeField(record, tag);
    if (tag <= QLatin1String("009"))
        return record.field(tag);
    if (isLinkingPath(record, path, tag)) {
        const QString embeddedTag = path.mid(4, 3);
        for (const QString& linking : record.fields(tag)) {
            const QString value = MarcRecord::subfield(embeddedField(linking, embeddedTag), path.at(7));
            if (!value.isEmpty())
                return value;
        }
        return {};
    }
    for (const QString& text : record.fields(tag)) {
        const QString value = MarcRecord::subfield(text, path.at(3));
        if (!value.isEmpty())
            return value;
    }
    return {};
}

} // namespace

QString LIB_GetMarcValue(const MarcRecord& record, const QString& path)
{
    if (record.isEmpty())
        return {};
    const QStringList alternatives = path.split(QLatin1Char(','));
    for (const QString& alternative : alternatives) {
        const QString value = valueOfAlternative(record, alternative.trimmed());
        if (!value.isEmpty())
            return value;
    }
    return {};
}
