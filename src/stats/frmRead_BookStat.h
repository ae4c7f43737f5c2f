#pragma once

#include "bookstatistics.h"
#include "stattablemodel.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class StatChartPanel;
class StatYearBox;
class frmTmpSetTemplate;

// "阅览图书分类统计": titles (种次) and items (册次) read per class of a template in a day, month
// or year, with its own condition controls. Counts the reader-book history in the desk's
// reader-and-book registration mode, the book-use history otherwise; a bar chart beside.
class frmRead_BookStat : public QDialog
{
    Q_OBJECT
public:
    explicit frmRead_BookStat(bool readerBookMode, QWidget* parent = nullptr);

    const StatTableModel& grid() const { return m_grid; }
    // The conditions the controls stand for.
    BookStatConditions conditions() const;

public Q_SLOTS:
    void runStatistics(); // "统计(&S)"
    void printGrid();     // "打印(&P)"

private:
    QString periodText() const;
    void handOver();
    void applyPeriodOption();

    bool m_readerBookMode = false;
    QRadioButton* optDate = nullptr;
    QRadioButton* optMonth = nullptr;
    QRadioButton* optYear = nullptr;
    QDateEdit* dtpDate = nullptr;
    QComboBox* cboMonth = nullptr;
    StatYearBox* yearBox = nullptr;
    QComboBox* cboLocation = nullptr;
    QComboBox* cboTemplate = nullptr;
    QLabel* lblPeriod = nullptr;
    QLabel* lblLocation = nullptr;
    QLabel* lblTemplate = nullptr;
    QPushButton* cmdPrint = nullptr;
    QTableView* spdStatResult = nullptr;
    StatChartPanel* m_chart = nullptr;
    frmTmpSetTemplate* m_oneOff = nullptr;
    StatTableModel m_grid;
};
