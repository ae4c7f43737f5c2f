#include "frmExp2Table.h"

#include "accessdatabase.h"
#include "db/messages.h"
#include "startup/formhelpers.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QLayout>
#include <QProgressBar>

frmExp2Table::frmExp2Table(const QString& path, int existing, const QList<ExportColumn>& columns,
                           const QAbstractItemModel& grid, int firstDataRow, QWidget* parent)
    : frmExpTable(path, existing, columns, parent), m_grid(grid), m_firstDataRow(firstDataRow)
{
    setObjectName(QStringLiteral("frmExp2Table"));
    prgExport = makeNamed<QProgressBar>(this, "prgExport");
    prgExport->setRange(0, std::max(1, grid.rowCount() - firstDataRow));
    prgExport->setValue(0);
    layout()->addWidget(prgExport);
}

bool frmExp2Table::afterTableChosen()
{
    setControlsEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QElapsedTimer shown;
    shown.start();
    AccessDatabase database(path());
    m_added = database.insertRows(tableName(), m_grid, columns(), m_firstDataRow, [this, &shown](int done) {
        // The bar and the window's events a few times a second, not once a row.
        if (shown.elapsed() >= 50) {
            prgExport->setValue(done);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            shown.restart();
        }
        return true;
    });
    prgExport->setValue(prgExport->maximum());
    QApplication::restoreOverrideCursor();
    setControlsEnabled(true);
    if (m_added < 0) {
        LIB_ShowMsg(QStringLiteral("E") + database.error());
        return true;
    }
    LIB_ShowMsg(QStringLiteral("I数据导出完毕!"));
    return true;
}
