#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The values of one MARC field path for a list of records, each read by the path of its own
// format (CN MARC or US MARC), the records fetched in batches. Records that do not exist have no
// entry. 0, or -1 after a database failure (the error record is filled; the caller reports it).
int LIB_ReadMarcFieldValues(const QStringList& recordNumbers, const QString& cnMarc, const QString& usMarc,
                            QHash<QString, QString>& values);
