#include "readinglogprint.h"

#include "db/sysparams.h"
#include "info/marcfieldvalues.h"
#include "print/printhandover.h"
#include "readinglogmodel.h"
#include "startup/environment.h"

int handOverReadingLog(const ReadingLogModel& model, ReadingLogKind kind)
{
    const int count = model.rowCount();
    if (count == 0)
        return 0;
    QList<int> columns;
    for (int c = 0; c < ReadingLogModel::ColumnCount; ++c) {
        if (ReadingLogModel::columnShown(kind, c))
            columns << c;
    }
    const bool items = kind != ReadingLogKind::Reader;
    QStringList headings;
    for (int c : columns)
        headings << ReadingLogModel::headings().at(c);
    if (items)
        headings << QStringLiteral("marc_rec_no");
    QList<QStringList> rows;
    rows.reserve(count);
    for (const ReadingLogRow& row : model.rows()) {
        QStringList cells;
        cells.reserve(columns.size() + 1);
        for (int c : columns)
            cells << row.cells.at(c);
        if (items)
            cells << row.marcRecNo;
        rows.append(std::move(cells));
    }

    PrintHandover& handover = PrintHandover::instance();
    handover.reset(QStringLiteral("阅览日志"));
    handover.setHeadings(headings);
    handover.setRows(std::move(rows));
    if (items) {
        handover.setColumnHidden(int(columns.size()), true);
        handover.setMarcColumn(int(columns.size()), LIB_ReadMarcFieldValues);
    }
    handover.setHeadingLine(0, LIB_GetSysPara(1).toString() + QStringLiteral("阅览日志(") +
                                   readingLogKindText(kind) + QLatin1Char(')'));
    handover.setHeadingLine(3, QStringLiteral("制表日期：") + LIB_GetEnv(1).toString());
    handover.setHeadingLine(4, QStringLiteral("制表人：") + LIB_GetEnv(4).toString());
    handover.setHeadingLine(6, QStringLiteral("总计： ") + QString::number(count) + QStringLiteral(" 条"));
    return count;
}
