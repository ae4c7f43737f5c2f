#pragma once

// What the ranking twins FrmBookTop and FrmLendRate share: the conditions "分类模板", "文献类型",
// "语种", "馆藏地" and the period, the commands "统计", "打印", "退出", the result grid with the
// ranking's bar chart beside it and the printing. Each twin adds its own row selection.

#include "rankingstatistics.h"
#include "stattablemodel.h"

#include <QDialog>

class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QTableView;
class StatChartPanel;
class StatPeriodPanel;
class frmTmpSetTemplate;

class RankingWindow : public QDialog
{
    Q_OBJECT
public:
    const StatTableModel& grid() const { return m_grid; }
    const QList<RankedTitle>& titles() const { return m_titles; }
    // The conditions the controls stand for.
    virtual RankingConditions conditions() const;

public Q_SLOTS:
    void runStatistics(); // "统计"
    void printGrid();     // "打印"

protected:
    RankingWindow(RankingConditions::Window window, bool bookCounting, const QString& title, QWidget* parent);

    // The twin's checks before a run (its messages shown); false stops the run.
    virtual bool conditionsAccepted() { return true; }
    // The highest rank the run reads (0: all).
    virtual int readLimit() const { return 0; }
    // The highest rank the grid shows (0: all).
    virtual int shownRanks() const { return 0; }
    // Lays the ranked titles out in the grid and the chart.
    void display();

    QFormLayout* ownConditions = nullptr; // the twin's rows
    QLabel* lblHelp = nullptr;
    bool m_hasRun = false;
    int m_readLimit = 0; // the ranks the last run read (0: all)

private:
    void handOver();

    RankingConditions::Window m_window;
    bool m_bookCounting = false;
    QComboBox* cboTemplate = nullptr;
    QComboBox* cboDocType = nullptr;
    QComboBox* cboLanguage = nullptr;
    QComboBox* cboLocation = nullptr;
    StatPeriodPanel* m_period = nullptr;
    QPushButton* cmdPrint = nullptr;
    QTableView* spdResult = nullptr;
    StatChartPanel* m_chart = nullptr;
    QLabel* lblNotice = nullptr;
    frmTmpSetTemplate* m_oneOff = nullptr;
    StatTableModel m_grid;
    QList<RankedTitle> m_titles;
    QString m_shownLocation, m_shownPeriod; // the conditions of the last run, for printing
};
