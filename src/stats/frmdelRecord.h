#pragma once

#include <QDialog>

class QCalendarWidget;
class QLineEdit;
class QPushButton;

// "删除历史记录": deletes the rows of the current reading mode's log up to and including the day
// in txtdate. Modal. In a mode without a log (identity check, photocopy lending and return) the
// title carries no mode and "确定(&O)" stays disabled: there is nothing to delete.
class frmdelRecord : public QDialog
{
    Q_OBJECT
public:
    explicit frmdelRecord(int deskMode, QWidget* parent = nullptr);

private:
    void purge();

    int m_deskMode;
    QCalendarWidget* mvwDate = nullptr;
    QLineEdit* txtdate = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdExit = nullptr;
};
