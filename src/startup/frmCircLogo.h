#pragma once

#include "deskhandover.h"
#include "operatorlogin.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The login window: the start-up splash, the operator's login and password change, and the about box.
// Shown modally over the main window for a re-login. The checks themselves are OperatorLogin's.
class frmCircLogo : public QDialog
{
    Q_OBJECT
public:
    static QString loginLayout() { return QStringLiteral("登录"); }
    static QString passwordLayout() { return QStringLiteral("修改密码"); }
    static QString aboutLayout() { return QStringLiteral("关于"); }

    // The desk is handed over after the first login; a re-login or about window has none.
    explicit frmCircLogo(const DeskHandover* desk = nullptr, QWidget* parent = nullptr);

    // Shows the controls of one layout; any other text leaves only the logo and the status line.
    void SetMode(const QString& layout);
    QString mode() const { return m_mode; }
    // Writes the status line and repaints it at once.
    void ShowStatus(const QString& text);
    // Checks name and password; 0, or -1 after the message with the focus in the box to correct.
    int CheckLogin();

    void setReLogin(bool reLogin) { m_reLogin = reLogin; }
    bool isReLogin() const { return m_reLogin; }
    bool isBusy() const { return m_busy; }

    // The update notes window, when the program has one: "查看最新更新" opens it over this window.
    static void setUpdatesOpener(std::function<void(QWidget* parent)> opener);

public Q_SLOTS:
    void login();
    void changePassword();
    void savePassword();
    void cancelPasswordChange();
    void exitOrClose();
    void reject() override; // Esc and the window's close button ask like "退出"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void setBusy(bool busy);
    void focusField(OperatorLogin::Field field);
    bool prepareDesk();
    void closeWindow(bool loggedIn);
    bool nameBoxKey(QEvent* event);

    const DeskHandover* m_desk;
    OperatorLogin m_attempt;
    QString m_mode;
    bool m_reLogin = false;
    bool m_busy = false;
    bool m_closing = false;

    QLabel* imgLogo = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblName = nullptr;
    QComboBox* cboName = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLabel* lblNewPassword = nullptr;
    QLineEdit* txtNewPassword = nullptr;
    QLabel* lblConfirmPassword = nullptr;
    QLineEdit* txtConfirmPassword = nullptr;
    QPushButton* cmdLogin = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* lblChangePassword = nullptr;
    QPushButton* lblExit = nullptr;
    QLabel* lblModuleName = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* lblUpdates = nullptr;
};
