#pragma once

#include "stattablemodel.h"
#include "usingstatistics.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class StatChartPanel;
class StatLogPeriodBox;

// "高利用率图书列表": the call numbers most used per copy in a period, the first "选择种数" of them;
// a click on a column heading sorts by it. "打印" prints the list ("图书利用率统计", pages numbered),
// "保存" writes it into a database file. Opened modeless.
class frmUsingStat : public QWidget
{
    Q_OBJECT
public:
    // bookCounting: the desk counts books (the book-use log counts, else the reader-and-book log).
    explicit frmUsingStat(bool bookCounting, QWidget* parent = nullptr);

    const StatTableModel& grid() const { return m_grid; }
    UsingStatConditions conditions() const;

public Q_SLOTS:
    void runStatistics(); // "统计"
    void printGrid();     // "打印"
    void saveGrid();      // "保存"

private:
    void countChosen(int index);

    bool m_bookCounting = false;
    StatLogPeriodBox* m_period = nullptr;
    QComboBox* cboLocation = nullptr;
    QComboBox* cboCount = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSave = nullptr;
    QTableView* spdResult = nullptr;
    StatChartPanel* m_chart = nullptr;
    QLabel* lblNotice = nullptr;
    StatTableModel m_grid;
    int m_count = 50;
    bool m_listed = false; // a run produced the list
};
