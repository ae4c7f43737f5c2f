#include "printmarccolumn.h"

#include "printtablemodel.h"

int LIB_FillMarcColumn(PrintTableModel& model, int column)
{
    QStringList numbers;
    numbers.reserve(model.rowCount());
    for (int r = 0; r < model.rowCount(); ++r)
        numbers.append(model.rowTag(r));
    const PrintColumn& marcColumn = model.column(column);
    QHash<QString, QString> values;
    if (model.marcReader() && model.marcReader()(numbers, marcColumn.cnMarc, marcColumn.usMarc, values) != 0)
        return -1;
    model.changeColumn(column, [&](PrintColumn& changed) {
        changed.values = QStringList();
        changed.values.resize(model.sourceRowCount());
        for (int r = 0; r < model.rowCount(); ++r)
            changed.values[model.sourceRow(r)] = values.value(numbers.at(r));
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
