#include "frmCircLogo.h"

#include "applicationtitle.h"
#include "computername.h"
#include "db/messages.h"
#include "firstlogin.h"
#include "formhelpers.h"
#include "shutdown.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {
std::function<void(QWidget*)>& updatesOpener()
{
    static std::function<void(QWidget*)> opener;
    return opener;
}

QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(READDESK_VERSION_MAJOR)
        .arg(READDESK_VERSION_MINOR)
        .arg(READDESK_VERSION_PATCH, 4, 10, QLatin1Char('0'));
}

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}
} // namespace

void frmCircLogo::setUpdatesOpener(std::function<void(QWidget*)> opener)
{
    updatesOpener() = std::move(opener);
}

frmCircLogo::frmCircLogo(const DeskHandover* desk, QWidget* parent) : QDialog(parent), m_desk(desk)
{
    setObjectName(QStringLiteral("frmCircLogo"));
    setWindowTitle(LIB_ApplicationTitle());
    buildWidgets();
    SetMode(QString());
    adjustSize();
    LIB_CenterForm(this);
}

void frmCircLogo::buildWidgets()
{
    imgLogo = makeNamed<QLabel>(this, "imgLogo", LIB_ApplicationTitle());
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setStyleSheet(QStringLiteral("font-size: 28pt; font-weight: bold;"));
    lblStatus = makeNamed<QLabel>(this, "lblStatus", QString());
    lblName = makeNamed<QLabel>(this, "lblName", QStringLiteral("名称："));
    cboName = makeNamed<QComboBox>(this, "cboName");
    cboName->setEditable(true);
    cboName->setInsertPolicy(QComboBox::NoInsert);
    lblPassword = makeNamed<QLabel>(this, "lblPassword", QStringLiteral("口令："));
    txtPassword = makeNamed<QLineEdit>(this, "txtPassword");
    lblNewPassword = makeNamed<QLabel>(this, "lblNewPassword", QStringLiteral("新口令："));
    txtNewPassword = makeNamed<QLineEdit>(this, "txtNewPassword");
    lblConfirmPassword = makeNamed<QLabel>(this, "lblConfirmPassword", QStringLiteral("确认口令："));
    txtConfirmPassword = makeNamed<QLineEdit>(this, "txtConfirmPassword");
    for (QLineEdit* box : {txtPassword, txtNewPassword, txtConfirmPassword})
        box->setEchoMode(QLineEdit::Password);
    cmdLogin = makeNamed<QPushButton>(this, "cmdLogin", QStringLiteral("登录"));
    cmdSave = makeNamed<QPushButton>(this, "cmdSave", QStringLiteral("确定"));
    cmdCancel = makeNamed<QPushButton>(this, "cmdCancel", QStringLiteral("取消"));
    lblChangePassword = makeLinkLabel(this, "lblChangePassword", QStringLiteral("修改密码[F1]"));
    lblExit = makeLinkLabel(this, "lblExit", QStringLiteral("退出"));
    lblModuleName = makeNamed<QLabel>(this, "lblModuleName", LIB_ApplicationTitle());
    lblVersion = makeNamed<QLabel>(this, "lblVersion", QStringLiteral("版本 ") + versionText());
    lblUpdates = makeLinkLabel(this, "lblUpdates", QStringLiteral("查看最新更新"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(imgLogo, 0, 0, 1, 3);
    const std::pair<QLabel*, QWidget*> fields[] = {{lblName, cboName},
                                                   {lblPassword, txtPassword},
                                                   {lblNewPassword, txtNewPassword},
                                                   {lblConfirmPassword, txtConfirmPassword}};
    for (int row = 1; const auto& [caption, box] : fields) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(box, row++, 1, 1, 2);
    }
    grid->addWidget(lblModuleName, 5, 0, 1, 3);
    grid->addWidget(lblVersion, 6, 0, 1, 2);
    grid->addWidget(lblUpdates, 6, 2);
    grid->addWidget(cmdLogin, 7, 0);
    grid->addWidget(cmdSave, 7, 1);
    grid->addWidget(cmdCancel, 7, 2);
    grid->addWidget(lblChangePassword, 8, 0, 1, 2);
    grid->addWidget(lblExit, 8, 2);
    grid->addWidget(lblStatus, 9, 0, 1, 3);
    setMinimumWidth(360);

    // Keys reach the name box through the combo box, which holds the focus and hands them to its
    // line edit directly (no filter sees them there); an Enter the line edit does not take goes on
    // to the dialog's default button. Both are watched.
    cboName->installEventFilter(this);
    cboName->lineEdit()->installEventFilter(this);
    txtPassword->installEventFilter(this);
    connect(cmdLogin, &QPushButton::clicked, this, &frmCircLogo::login);
    connect(cmdSave, &QPushButton::clicked, this, &frmCircLogo::savePassword);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCircLogo::cancelPasswordChange);
    connect(lblChangePassword, &QPushButton::clicked, this, &frmCircLogo::changePassword);
    connect(lblExit, &QPushButton::clicked, this, &frmCircLogo::exitOrClose);
    lblUpdates->setEnabled(bool(updatesOpener()));
    connect(lblUpdates, &QPushButton::clicked, this, [this] {
        if (updatesOpener())
            updatesOpener()(this);
    });
    new QShortcut(QKeySequence(Qt::Key_F1), this, this, &frmCircLogo::changePassword);
    // Typing in a box makes the button it belongs to the default one.
    connect(txtPassword, &QLineEdit::textEdited, cmdLogin, [this] { cmdLogin->setDefault(true); });
    connect(txtNewPassword, &QLineEdit::textEdited, cmdSave, [this] { cmdSave->setDefault(true); });
    connect(txtConfirmPassword, &QLineEdit::textEdited, cmdSave, [this] { cmdSave->setDefault(true); });
}

void frmCircLogo::SetMode(const QString& layout)
{
    m_mode = layout;
    const bool login = layout == loginLayout() || layout == passwordLayout();
    const bool change = layout == passwordLayout();
    const bool about = layout == aboutLayout();
    for (QWidget* w : std::initializer_list<QWidget*>{lblName, cboName, lblPassword, txtPassword, cmdLogin,
                                                      lblChangePassword})
        w->setVisible(login);
    for (QWidget* w : std::initializer_list<QWidget*>{lblNewPassword, txtNewPassword, lblConfirmPassword,
                                                      txtConfirmPassword, cmdSave, cmdCancel})
        w->setVisible(change);
    for (QWidget* w : std::initializer_list<QWidget*>{lblModuleName, lblVersion, lblUpdates})
        w->setVisible(about);
    lblExit->setVisible(login || about);
    lblExit->setText(about ? QStringLiteral("关闭") : QStringLiteral("退出"));
    if (change) {
        cmdSave->setDefault(true);
        txtNewPassword->setFocus();
    } else if (login) {
        cmdLogin->setDefault(true);
        cboName->setFocus();
    }
}

void frmCircLogo::ShowStatus(const QString& text)
{
    lblStatus->setText(text);
    lblStatus->repaint();
}

void frmCircLogo::setBusy(bool busy)
{
    m_busy = busy;
    if (busy) {
        QApplication::processEvents();
        ShowStatus(QStringLiteral("正在登录..."));
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void frmCircLogo::focusField(OperatorLogin::Field field)
{
    if (field == OperatorLogin::Field::Password)
        txtPassword->setFocus();
    else
        cboName->setFocus();
}

int frmCircLogo::CheckLogin()
{
    if (m_attempt.checkLogin(cboName->currentText(), txtPassword->text(), LIB_ComputerName()) == 0)
        return 0;
    focusField(m_attempt.failedField());
    return -1;
}

void frmCircLogo::login()
{
    if (m_busy)
        return;
    setBusy(true);
    OperatorLogin::startAttempt();
    if (CheckLogin() != 0) {
        setBusy(false);
        ShowStatus(QStringLiteral("用户登录"));
        return;
    }
    if (!m_attempt.hasDeskRight()) {
        setBusy(false);
        ShowStatus(m_reLogin ? QStringLiteral("用户重新登录") : QStringLiteral("用户登录"));
        cboName->setFocus();
        return;
    }
    m_attempt.accept();
    if (!m_reLogin && !prepareDesk())
        return; // the program has been ended
    setBusy(false);
    closeWindow(true);
}

bool frmCircLogo::prepareDesk()
{
    ShowStatus(QStringLiteral("用户成功登录，正在初始化代码数据..."));
    if (FirstLogin::loadCodeTables() != 0 ||
        FirstLogin::checkReadingRoom(OperatorSession::current().workstation) != 0) {
        LIB_Shutdown(1);
        return false;
    }
    if (m_desk && m_desk->prepareDeskData)
        m_desk->prepareDeskData();
    FirstLogin::readDeskSwitches();
    ShowStatus(QStringLiteral("初始化主窗体..."));
    if (m_desk && m_desk->initialize)
        m_desk->initialize();
    unsetCursor();
    if (m_desk && m_desk->show)
        m_desk->show();
    return true;
}

void frmCircLogo::changePassword()
{
    if (m_busy)
        return;
    if (OperatorLogin::nameAndPasswordGiven(cboName->currentText(), txtPassword->text()) && CheckLogin() == 0)
        SetMode(passwordLayout());
}

void frmCircLogo::savePassword()
{
    if (OperatorLogin::changePassword(cboName->currentText(), txtNewPassword->text(),
                                      txtConfirmPassword->text()) != 0)
        return;
    txtPassword->setText(txtNewPassword->text());
    SetMode(loginLayout());
}

void frmCircLogo::cancelPasswordChange()
{
    SetMode(loginLayout());
}

void frmCircLogo::exitOrClose()
{
    if (m_busy)
        return;
    if (m_mode == aboutLayout()) {
        closeWindow(false);
        return;
    }
    if (LIB_ShowMsg(QStringLiteral("QCM501")) == 2)
        return;
    closeWindow(false);
    if (!m_reLogin)
        LIB_Shutdown(0);
}

void frmCircLogo::closeWindow(bool loggedIn)
{
    m_closing = true;
    done(loggedIn ? Accepted : Rejected);
    m_closing = false;
}

void frmCircLogo::reject()
{
    if (m_closing)
        QDialog::reject();
    else
        exitOrClose();
}

bool frmCircLogo::nameBoxKey(QEvent* event)
{
    auto* key = static_cast<QKeyEvent*>(event);
    if (isEnter(key)) {
        if (!cboName->currentText().trimmed().isEmpty())
            txtPassword->setFocus();
        return true;
    }
    const QString typed = key->text();
    if (typed.isEmpty() || typed.at(0).category() == QChar::Other_Control)
        return false; // editing keys, Backspace among them, always pass
    return !OperatorLogin::nameBoxAccepts(cboName->currentText(), cboName->lineEdit()->hasSelectedText(),
                                          typed.at(0));
}

bool frmCircLogo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (watched == cboName || watched == cboName->lineEdit())
            return nameBoxKey(event);
        if (watched == txtPassword && isEnter(static_cast<QKeyEvent*>(event))) {
            login();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCircLogo::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // The about box goes away as soon as the operator turns to another window.
    if (event->type() == QEvent::ActivationChange && m_mode == aboutLayout() && isVisible() &&
        !isActiveWindow())
        closeWindow(false);
}
