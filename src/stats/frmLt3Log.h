#pragma once

#include "readinglogquery.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QTableView;
class QTimeEdit;
class QTimer;
class ReadingLogFilterPanel;
class ReadingLogLoader;
class ReadingLogModel;
class clsProgressBar;
struct ErrorRecord;

// "阅览日志查询": the rows of one reading log within a time range, narrowed by the ticked filter
// boxes, listed in spdReadLog and handed to the print designer. Modeless. The list is filled off
// the window's thread (ReadingLogLoader), with the progress display and its cancel; the window
// keeps its previous rows when a query fails or is cancelled.
class frmLt3Log : public QWidget
{
    Q_OBJECT
public:
    explicit frmLt3Log(QWidget* parent = nullptr);
    ~frmLt3Log() override;

    ReadingLogKind kind() const;
    bool isSeeking() const { return m_seeking; }

Q_SIGNALS:
    void seekEnded(); // a query's rows arrived, or it failed or was cancelled

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void fillFilterLists();
    void setKind(int index);
    void boxToggled(QCheckBox* box, ReadingLogFilterPanel* panel, bool ticked);
    void updateSeekEnabled();
    void placePanels();
    ReadingLogFilters filters() const;
    void seek();
    void showProgress();
    void endSeek();
    void showFailure(const ErrorRecord& error, const QString& statement);
    void print();

    QGroupBox* fraCondition = nullptr;
    QComboBox* cboType = nullptr;
    QDateEdit* dtpBeginDate = nullptr;
    QTimeEdit* dtpBeginTime = nullptr;
    QDateEdit* dtpEndDate = nullptr;
    QTimeEdit* dtpEndTime = nullptr;
    QCheckBox* chkLocation = nullptr;
    QCheckBox* chkRedrType = nullptr;
    QCheckBox* chkWkrno = nullptr;
    QPushButton* cmdSeek = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdExit = nullptr;
    QTableView* spdReadLog = nullptr;
    ReadingLogFilterPanel* fraLocation = nullptr;
    ReadingLogFilterPanel* fraRedrType = nullptr;
    ReadingLogFilterPanel* fraWkrno = nullptr;

    ReadingLogModel* m_model = nullptr;
    ReadingLogLoader* m_loader = nullptr;
    std::unique_ptr<clsProgressBar> m_progress;
    QTimer* m_progressDelay = nullptr;
    bool m_seeking = false;
};
