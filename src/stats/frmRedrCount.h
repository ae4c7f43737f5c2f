#pragma once

#include "readerrankstatistics.h"
#include "stattablemodel.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class StatChartPanel;
class StatLogPeriodBox;

// "阅览读者排行榜": the readers who came most often in a year, month or range of days, the first
// "人数选择" of them, with their visits as bars beside the grid.
class frmRedrCount : public QDialog
{
    Q_OBJECT
public:
    // checkIn: the desk checks readers in (their check-ins count, else their registrations).
    explicit frmRedrCount(bool checkIn, QWidget* parent = nullptr);

    const StatTableModel& grid() const { return m_grid; }
    ReaderRankConditions conditions() const;

public Q_SLOTS:
    void runStatistics(); // "统计"
    void printGrid();     // "打印"

private:
    void handOver();

    bool m_checkIn = false;
    StatLogPeriodBox* m_period = nullptr;
    QComboBox* cboLocation = nullptr;
    QComboBox* cboCount = nullptr;
    QPushButton* cmdPrint = nullptr;
    QTableView* spdResult = nullptr;
    StatChartPanel* m_chart = nullptr;
    QLabel* lblNotice = nullptr;
    StatTableModel m_grid;
    QString m_shownLocation, m_shownPeriod;
};
