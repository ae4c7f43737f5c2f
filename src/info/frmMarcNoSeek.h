#pragma once

#include <QDialog>

class BookHitsModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// "图书检索": up to five conditions (search path, operator, value) combined into one search; the
// titles found are listed in batches and "确定" hands the chosen record number back.
class frmMarcNoSeek : public QDialog
{
    Q_OBJECT
public:
    static constexpr int ConditionRows = 5;

    explicit frmMarcNoSeek(QWidget* parent = nullptr);
    QString chosenMarcRecNo() const { return m_chosen; }

private:
    void seek();
    void choose();

    QComboBox* cboPath[ConditionRows] = {};
    QComboBox* cboOper[ConditionRows] = {};
    QLineEdit* txtValue[ConditionRows] = {};
    QLabel* lblRecNum = nullptr;
    QTableView* spdBookLst = nullptr;
    BookHitsModel* m_hits = nullptr;
    QPushButton* cmdOK = nullptr;
    QString m_chosen;
};
