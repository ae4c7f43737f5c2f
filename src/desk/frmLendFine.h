#pragma once

#include "deskcontext.h"
#include "finesettlement.h"

#include <QDialog>
#include <memory>

class FineChargeModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The overdue-fine window "超期罚款": the reader's unsettled charges, settled or waived through
// FineSettlement. The charges stay locked while the window is open; closing it in any way
// releases them.
class frmLendFine : public QDialog
{
    Q_OBJECT
public:
    // The photocopy admission: settles desk.fineReader's outstanding total desk.fineAmount,
    // showing the window modally unless there is nothing to show.
    static void settleFines(DeskContext& desk, QWidget* parent);
    // mnuCopyFine: the fine reader's charges, with the outstanding total read from the reader;
    // nothing without a fine reader or with the DealFine setting at 0.
    static void openFromMenu(DeskContext& desk, QWidget* parent);

    frmLendFine(DeskContext& desk, QWidget* parent = nullptr);
    ~frmLendFine() override;

    // Loads the reader and the charges: false when there is nothing to show.
    bool load(bool readOutstanding);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void showCharges();
    FineSettlement::Form form() const;
    void apply(const FineSettlement::Form& form, const FineSettlement::Reply& reply);
    void settle();
    void waive();
    void cancelWindow();
    QList<int> selectedLines() const;

    std::unique_ptr<FineSettlement> m_settlement;
    FineChargeModel* m_model = nullptr;
    bool m_focusedOnce = false;
    QTableView* spdFine = nullptr;
    QLineEdit* txtTotalFine = nullptr;
    QLineEdit* txtAllowFine = nullptr;
    QLineEdit* txtTrueFineExceed = nullptr;
    QLineEdit* txtBillNo = nullptr;
    QLineEdit* txtRemark = nullptr;
    QComboBox* cboFineType = nullptr;
    QLabel* lblOB = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancelExceed = nullptr;
    QPushButton* cmdCancel = nullptr;
};
