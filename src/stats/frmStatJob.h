#pragma once

#include "jobstatistics.h"
#include "stattablemodel.h"

#include <QDialog>

class QCalendarWidget;
class QLineEdit;
class QRadioButton;
class QTableView;
class StatChartPanel;

// "工作量统计": the logged-in operator's own workload per job type for a year, month, day or
// date range; job types without records keep empty cells. A bar chart beside the grid.
class frmStatJob : public QDialog
{
    Q_OBJECT
public:
    // pattern: the job types listed (the desk passes "4%", the job types of this module).
    explicit frmStatJob(const QString& pattern, QWidget* parent = nullptr);

    const StatTableModel& grid() const { return m_grid; }

public Q_SLOTS:
    void runStatistics(); // "统计(&S)"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    JobStatistics::Kind kind() const;
    QString periodText() const;
    void applyKind();
    void calendarClicked(const QDate& date);

    QRadioButton* optYear = nullptr;
    QRadioButton* optMonth = nullptr;
    QRadioButton* optDay = nullptr;
    QRadioButton* optRange = nullptr;
    QCalendarWidget* calDate = nullptr;
    QLineEdit* txtBegin = nullptr;
    QLineEdit* txtEnd = nullptr;
    QLineEdit* m_activeDateBox = nullptr;
    QTableView* spdJob = nullptr;
    StatChartPanel* m_chart = nullptr;
    JobStatistics m_statistics;
    StatTableModel m_grid;
};
