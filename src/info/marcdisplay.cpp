#include "marcdisplay.h"

QList<QStringList> MarcDisplay::rows(const MarcRecord& record)
{
    QList<QStringList> lines;
    if (record.isEmpty())
        return lines;
    lines.append({QStringLiteral("LDR"), QString(), record.leader()});
    for (int entry = 0; entry < record.fieldCount(); ++entry) {
        const QString tag = record.directory().at(entry).tag;
        QString text = record.fieldText(entry);
        text.replace(QChar(MarcRecord::SubfieldDelimiter), shownDelimiter);
        if (tag < QLatin1String("010"))
            lines.append({tag, QString(), text});
        else
            lines.append({tag, text.left(2), text.mid(2)});
    }
    return lines;
}
