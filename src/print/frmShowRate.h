#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress display's window: the bar, "还剩：" with the remaining time, the count line and
// "取消(&C)". Shown by clsProgressBar; the window of the running operation stays disabled meanwhile.
class frmShowRate : public QDialog
{
    Q_OBJECT

public:
    explicit frmShowRate(QWidget* parent = nullptr);

    QProgressBar* bar() const { return prgRate; }
    QLabel* remaining() const { return lblTime; }
    QLabel* count() const { return lblCount; }
    QPushButton* cancelButton() const { return cmdCancel; }

Q_SIGNALS:
    void cancelled();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QProgressBar* prgRate = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* cmdCancel = nullptr;
};
