#include "printmarccolumn.h"

#include "info/marcreader.h"
#include "info/marcvalue.h"
#include "printtablemodel.h"

int LIB_FillMarcColumn(PrintTableModel& model, int column)
{
    QStringList numbers;
    numbers.reserve(model.rowCount());
    for (int r = 0; r < model.rowCount(); ++r)
        numbers.append(model.rowTag(r));
    QHash<QString, MarcRecord> records;
    if (MarcReader::readMany(numbers, records) != 0)
        return -1;
    model.changeColumn(column, [&](PrintColumn& spec) {
        spec.values = QStringList();
        spec.values.resize(model.sourceRowCount());
        for (int r = 0; r < model.rowCount(); ++r) {
            const auto record = records.constFind(numbers.at(r));
            if (record == records.cend())
                continue;
            const QString& path = record->type() == MarcRecord::UsMarc ? spec.usMarc : spec.cnMarc;
            spec.values[model.sourceRow(r)] = LIB_GetMarcValue(*record, path);
        }
    });
    return 0;
}

int LIB_AddMarcColumn(PrintTableModel& model, const QString& heading, const QString& cnMarc,
                      const QString& usMarc)
{
    PrintColumn column;
    column.heading = heading;
    column.cnMarc = cnMarc;
    column.usMarc = usMarc;
    const int index = model.appendColumn(column);
    return LIB_FillMarcColumn(model, index) == 0 ? index : -1;
}
