#include "marcfieldvalues.h"

#include "marcreader.h"
#include "marcvalue.h"

int LIB_ReadMarcFieldValues(const QStringList& recordNumbers, const QString& cnMarc, const QString& usMarc,
                            QHash<QString, QString>& values)
{
    QHash<QString, MarcRecord> records;
    if (MarcReader::readMany(recordNumbers, records) != 0)
        return -1;
    values.clear();
    for (auto record = records.cbegin(); record != records.cend(); ++record)
        values.insert(record.key(),
                      LIB_GetMarcValue(*record, record->type() == MarcRecord::UsMarc ? usMarc : cnMarc));
    return 0;
}
