#pragma once

#include <QDialog>

class DeskGridModel;
class OfflineJournal;
class QLabel;
class QPushButton;
class QTableView;

// "脱机扫描未登记": the journaled scans that the desk's checks refused when it caught up, with
// the reason of each. The operator prints the list (through the print designer) and clears it
// once dealt with. Modeless: the desk goes on scanning beside it.
class frmOfflineRefused : public QDialog
{
    Q_OBJECT
public:
    frmOfflineRefused(OfflineJournal& journal, QWidget* parent = nullptr);

    // Lists the refused scans afresh.
    void reload();

Q_SIGNALS:
    void cleared();

private:
    void print();
    void clearList();

    OfflineJournal& m_journal;
    DeskGridModel* m_model = nullptr;
    QLabel* lblCount = nullptr;
    QTableView* vsRefused = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdClear = nullptr;
};
