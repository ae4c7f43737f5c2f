#pragma once

#include "frmExpTable.h"

class QAbstractItemModel;
class QProgressBar;

// The table window of the designer's database export: after OK it writes the grid's rows into
// the chosen table itself, under its own progress bar, then says "数据导出完毕!" and closes.
class frmExp2Table : public frmExpTable
{
    Q_OBJECT

public:
    frmExp2Table(const QString& path, int existing, const QList<ExportColumn>& columns,
                 const QAbstractItemModel& grid, int firstDataRow, QWidget* parent = nullptr);

    int rowsAdded() const { return m_added; }

protected:
    bool afterTableChosen() override;

private:
    const QAbstractItemModel& m_grid;
    int m_firstDataRow = 0;
    int m_added = -1;
    QProgressBar* prgExport = nullptr;
};
