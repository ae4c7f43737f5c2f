#include "bibelements.h"

#include "marcindexparams.h"
#include "marcvalue.h"

namespace {

QString cnMarcTitle(const MarcRecord& record)
{
    auto value = [&record](const char* path) { return LIB_GetMarcValue(record, QLatin1String(path)); };
    QString title = value("200a");
    const QString part = value("200h");
    const QString partName = value("200i");
    if (!part.isEmpty() && !partName.isEmpty()) {
        title += QLatin1Char('.') + part + QLatin1Char(',') + partName;
    } else {
        if (!part.isEmpty())
            title += QLatin1Char('.') + part;
        if (!partName.isEmpty())
            title += QLatin1Char('.') + partName;
    }
    if (const QString other = value("200e"); !other.isEmpty())
        title += QLatin1Char(':') + other;
    if (const QString edition = value("205a"); !edition.isEmpty())
        title += QLatin1Char('-') + edition;
    return title;
}

QString usMarcTitle(const MarcRecord& record)
{
    QString title = LIB_GetMarcValue(record, QStringLiteral("245a"));
    for (const char* path : {"245b", "245n", "245p"}) {
        if (const QString more = LIB_GetMarcValue(record, QLatin1String(path)); !more.isEmpty())
            title += QLatin1Char(' ') + more;
    }
    if (const QString edition = LIB_GetMarcValue(record, QStringLiteral("250a")); !edition.isEmpty())
        title += QLatin1Char('-') + edition;
    return title;
}

} // namespace

QString LIB_GetIndexGroupValue(const MarcRecord& record, int group)
{
    return LIB_GetMarcValue(record, MarcIndexParameters::instance().fieldSpec(record.type(), group));
}

int LIB_BibElementGroup(int element)
{
    switch (element) {
    case 1:
    case 11:
        return 2;
    case 2:
    case 13:
        return 4;
    case 3:
        return 8;
    case 4:
        return 7;
    case 5:
    case 12:
        return 3;
    case 6:
        return 9;
    case 7:
        return 6;
    case 8:
        return 10;
    case 10:
        return 1;
    default:
        return 0;
    }
}

QString LIB_GetBibElement(const MarcRecord& record, int element)
{
    if (record.isEmpty())
        return {};
    if (element == BibTitle) {
        switch (record.type()) {
        case MarcRecord::CnMarc:
            return cnMarcTitle(record);
        case MarcRecord::UsMarc:
            return usMarcTitle(record);
        default:
            return LIB_GetIndexGroupValue(record, 1);
        }
    }
    const int group = LIB_BibElementGroup(element);
    return group == 0 ? QString() : LIB_GetIndexGroupValue(record, group);
}
