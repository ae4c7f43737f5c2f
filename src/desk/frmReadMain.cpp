#include "frmReadMain.h"

#include "db/sysparams.h"
#include "startup/desksettings.h"
#include "startup/frmCircLogo.h"
#include "startup/operatorsession.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

frmReadMain::frmReadMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmReadMain"));
    resize(900, 600);
    sbrOperator = new QLabel(this);
    sbrOperator->setObjectName(QStringLiteral("sbrOperator"));
    statusBar()->addWidget(sbrOperator, 1);
    buildMenus();
}

void frmReadMain::buildMenus()
{
    QMenu* system = menuBar()->addMenu(QStringLiteral("系统(&S)"));
    mnuReLogin = system->addAction(QStringLiteral("重新登录(&L)"));
    mnuReLogin->setObjectName(QStringLiteral("mnuReLogin"));
    connect(mnuReLogin, &QAction::triggered, this, &frmReadMain::reLogin);
}

int frmReadMain::pInitialize()
{
    setWindowTitle(LIB_GetSysPara(1).toString());
    writeOperatorStatus();
    DeskSettings::current().readMainWindowSettings();
    // Call sites (desk window): the menus and toolbar, the add-ins and
    // themes, and the start mode of LT3_ReadCHose are set up here as those parts of the desk arrive.
    return 0;
}

QString frmReadMain::operatorStatusText() const
{
    return LIB_GetSysPara(1).toString() + QStringLiteral(" - ") + OperatorSession::current().workerNumber;
}

void frmReadMain::writeOperatorStatus()
{
    sbrOperator->setText(operatorStatusText());
}

void frmReadMain::reLogin()
{
    frmCircLogo login(nullptr, this);
    login.setReLogin(true);
    login.SetMode(frmCircLogo::loginLayout());
    login.ShowStatus(QStringLiteral("用户重新登录"));
    login.exec();
    if (!OperatorSession::current().loggedIn)
        return;
    writeOperatorStatus();
    // Call site (reading modes): the mode stored in LT3_ReadCHose is entered again here once the
    // desk's reading modes exist.
}
