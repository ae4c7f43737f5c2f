#include "basExport.h"

#include "accessdatabase.h"
#include "clsProgressBar.h"
#include "db/messages.h"
#include "frmExp2Table.h"
#include "frmExpTable.h"
#include "savefilechooser.h"
#include "startup/environment.h"
#include "workbookexport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QTableView>

namespace {

const QString DatabaseFilter = QStringLiteral("SQLite数据库文件 (*.db)");

// The file of a database export: chosen, and created when new. Empty when cancelled or failed.
QString chooseDatabase(QWidget* parent, const QString& title, const QString& directory, int& existing,
                       int& result)
{
    const QString path =
        LIB_ChooseSaveFile(parent, {title, directory, {DatabaseFilter}, QStringLiteral("db")});
    result = 1;
    if (path.isEmpty())
        return {};
    existing = QFile::exists(path) ? 1 : 0;
    if (!existing) {
        AccessDatabase database(path);
        if (database.create() != 0) {
            LIB_ShowMsg(QStringLiteral("E") + database.error());
            result = -1;
            return {};
        }
    }
    return path;
}

bool tooManyColumns(const QList<ExportColumn>& columns)
{
    if (columns.size() <= MaxExportColumns)
        return false;
    LIB_ShowMsg(QStringLiteral("E导出的列超过%1列，不能导出到数据库文件！").arg(MaxExportColumns));
    return true;
}

} // namespace

int ExportGridToAccess(QWidget* parent, const QAbstractItemModel& grid, const QSet<int>& hidden,
                       int firstDataRow)
{
    const QList<ExportColumn> columns = LIB_ExportColumns(grid, hidden);
    if (tooManyColumns(columns))
        return -1;
    int existing = 0;
    int result = 1;
    const QString path = chooseDatabase(parent, QStringLiteral("保存到Access文件"), LIB_GetEnv(12).toString(),
                                        existing, result);
    if (path.isEmpty())
        return result;
    frmExp2Table table(path, existing, columns, grid, firstDataRow, parent);
    table.exec();
    if (table.tableName().isEmpty())
        return 1;
    return table.rowsAdded() < 0 ? -1 : 0;
}

int ExportSpreadToAccess(QWidget* parent, const QAbstractItemModel& spread, const QSet<int>& hidden)
{
    const QList<ExportColumn> columns = LIB_ExportColumns(spread, hidden);
    if (tooManyColumns(columns))
        return -1;
    int existing = 0;
    int result = 1;
    const QString path =
        chooseDatabase(parent, QStringLiteral("保存结果集"), LIB_GetEnv(13).toString(), existing, result);
    if (path.isEmpty())
        return result;
    frmExpTable table(path, existing, columns, parent);
    table.exec();
    if (table.tableName().isEmpty())
        return 1;

    clsProgressBar progress;
    progress.setTitle(QStringLiteral("正在导出数据..."));
    progress.setMax(spread.rowCount());
    progress.SetLockSource(parent);
    progress.Show();
    AccessDatabase database(path);
    const int added = database.insertRows(table.tableName(), spread, columns, 0, [&progress](int done) {
        progress.setValue(done);
        return !progress.Interrupt();
    });
    const bool cancelled = progress.Interrupt();
    progress.Finish();
    if (added < 0) {
        LIB_ShowMsg(QStringLiteral("E") + database.error());
        return -1;
    }
    if (cancelled)
        return 1;
    LIB_ShowMsg(QStringLiteral("I数据已成功保存!"));
    return 0;
}

int ExportSpreadToAccess(QTableView* spread)
{
    QSet<int> hidden;
    for (int c = 0; c < spread->model()->columnCount(); ++c)
        if (spread->isColumnHidden(c))
            hidden.insert(c);
    return ExportSpreadToAccess(spread->window(), *spread->model(), hidden);
}

int ExportGridToExcel(QWidget* parent, const QAbstractItemModel& grid, const QSet<int>& hidden,
                      const QString& title, const QString& condition)
{
    const QString path = LIB_ChooseSaveFile(parent, {QStringLiteral("保存到Excel文件"),
                                                     LIB_GetEnv(12).toString(),
                                                     {QStringLiteral("Excel工作簿 (*.xlsx)")},
                                                     QStringLiteral("xlsx")});
    if (path.isEmpty() || (QFile::exists(path) && LIB_ShowMsg(QStringLiteral("WCF011")) != 1))
        return 1;
    clsProgressBar progress;
    progress.setTitle(QStringLiteral("正在导出数据..."));
    progress.setMax(grid.rowCount());
    progress.SetLockSource(parent);
    progress.Show();
    QString error;
    const int written = LIB_WriteWorkbook(
        path, grid, LIB_ExportColumns(grid, hidden), title, condition,
        [&progress](int done) {
            progress.setValue(done);
            return !progress.Interrupt();
        },
        &error);
    const bool cancelled = progress.Interrupt();
    progress.Finish();
    if (cancelled)
        return 1;
    if (written != 0) {
        LIB_ShowMsg(QStringLiteral("E") + error);
        return -1;
    }
    LIB_ShowMsg(QStringLiteral("I导出到Excel完成！"));
    return 0;
}
