#pragma once

#include <QDialog>

class QLineEdit;

// "读者详细信息": the record of one card's reader as labelled read-only boxes. The password shows
// as "*" until the box is double-clicked (which toggles it); any key closes the window.
class frmRedrDetail : public QDialog
{
    Q_OBJECT
public:
    explicit frmRedrDetail(const QString& barcode, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void togglePassword();

    QLineEdit* m_password = nullptr;
    QString m_passwordText;
    bool m_passwordShown = false;
};
