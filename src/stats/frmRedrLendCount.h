#pragma once

#include "stattablemodel.h"
#include "visitcountstatistics.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class StatChartPanel;
class StatPeriodPanel;

// "阅览读者人次统计": readers and visits of a period by reader type, unit, grade and department,
// one grid each on its own page; the reader types as bars. "打印" prints the page shown.
class frmRedrLendCount : public QDialog
{
    Q_OBJECT
public:
    // checkIn: the desk checks readers in (check-ins count, else registrations).
    explicit frmRedrLendCount(bool checkIn, QWidget* parent = nullptr);

    enum Grid { ByType, ByUnit, ByGrade, ByDepartment };
    const StatTableModel& grid(Grid which) const { return m_grids[which]; }
    VisitCountConditions conditions() const;

public Q_SLOTS:
    void runStatistics(); // "统计"
    void printGrid();     // "打印"

private:
    void handOver();

    bool m_checkIn = false;
    StatPeriodPanel* m_period = nullptr;
    QComboBox* cboLocation = nullptr;
    QPushButton* cmdPrint = nullptr;
    QTabWidget* tabGrids = nullptr;
    StatChartPanel* m_chart = nullptr;
    QLabel* lblNotice = nullptr;
    StatTableModel m_grids[4];
    QString m_shownLocation, m_shownPeriod;
};
