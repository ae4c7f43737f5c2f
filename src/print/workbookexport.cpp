#include "workbookexport.h"

#include "printhandover.h"
#include "printlayout.h"
#include "printtablemodel.h"
#include "printtemplateapply.h"
#include "startup/environment.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <xlsxwriter.h>

int LIB_WriteWorkbook(const QString& path, const QAbstractItemModel& model,
                      const QList<ExportColumn>& columns, const QString& title, const QString& condition,
                      const ExportProgress& progress, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return -1;
    };
    // Written beside the target under another name, then moved over it: a stopped or failed
    // export leaves the old file (or none).
    const QString partial = path + QStringLiteral(".part");
    const QByteArray tmpdir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(partial).constData(), &options);
    if (!workbook)
        return fail(QStringLiteral("cannot create ") + path);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "ExportData");
    lxw_format* text = workbook_add_format(workbook);
    format_set_num_format(text, "@");
    lxw_format* bold = workbook_add_format(workbook);
    format_set_num_format(bold, "@");
    format_set_bold(bold);
    worksheet_set_column(sheet, 0, lxw_col_t(std::max<qsizetype>(1, columns.size()) - 1), 14, text);

    lxw_error status = LXW_NO_ERROR;
    auto put = [&](lxw_row_t row, lxw_col_t column, const QString& value, lxw_format* format) {
        if (!value.isEmpty() && status == LXW_NO_ERROR)
            status = worksheet_write_string(sheet, row, column, value.toUtf8().constData(), format);
    };
    put(0, 0, title, bold);
    put(1, 0, condition, text);
    for (int i = 0; i < columns.size(); ++i)
        put(2, lxw_col_t(i), columns.at(i).heading, bold);
    bool stopped = false;
    for (int row = 0; row < model.rowCount() && status == LXW_NO_ERROR; ++row) {
        if (progress && !progress(row)) {
            stopped = true;
            break;
        }
        for (int i = 0; i < columns.size(); ++i)
            put(lxw_row_t(row + 3), lxw_col_t(i), model.index(row, columns.at(i).index).data().toString(),
                text);
    }
    const lxw_error closed = workbook_close(workbook);
    if (stopped || status != LXW_NO_ERROR || closed != LXW_NO_ERROR) {
        QFile::remove(partial);
        return stopped ? -1 : fail(QString::fromUtf8(lxw_strerror(status != LXW_NO_ERROR ? status : closed)));
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return fail(QStringLiteral("cannot write ") + path);
    }
    return 0;
}

int LIB_ExportHandoverToXlsx(const QString& path, QString* error)
{
    const PrintHandover& handover = PrintHandover::instance();
    PrintTableModel model;
    model.load(handover);
    PrintLayout layout = PrintLayout::fromHeadingLines(handover.headingLines());
    LIB_ApplyPrintTemplate(model, layout, LIB_GetEnv(14).toString(), handover.reportName());
    QSet<int> hidden;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.isColumnHidden(c))
            hidden.insert(c);
    QStringList condition;
    for (int i = 1; i <= 5; ++i)
        condition.append(layout.labelText(i));
    return LIB_WriteWorkbook(path, model, LIB_ExportColumns(model, hidden), layout.labelText(0),
                             condition.join(QLatin1Char(' ')), {}, error);
}
