#pragma once

#include "stattablemodel.h"

#include <QDialog>

class QAction;
class QLabel;
class QTableView;
class StatChartPanel;

// "阅览分类综合统计": reader-book events per class of a template and per reader type, with
// subtotals and shares, under the conditions of frmStatProp; a bar chart beside the grid.
// "统计" is enabled by "条件" and disabled by each run.
class frmRedrStat : public QDialog
{
    Q_OBJECT
public:
    explicit frmRedrStat(QWidget* parent = nullptr);

    const StatTableModel& grid() const { return m_grid; }

public Q_SLOTS:
    void setConditions(); // "条件"
    void runStatistics(); // "统计"
    void printGrid();     // "打印"

private:
    void showConditions();
    void handOver();

    QAction* m_set = nullptr;
    QAction* m_go = nullptr;
    QAction* m_print = nullptr;
    QLabel* lblLocation = nullptr;
    QLabel* lblPeriod = nullptr;
    QLabel* lblTemplate = nullptr;
    QTableView* spdStatResult = nullptr;
    StatChartPanel* m_chart = nullptr;
    StatTableModel m_grid;
};
