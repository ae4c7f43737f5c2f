#include "frmReadMain.h"

#include "barcoderules.h"
#include "campuscard.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "extensions/deskextensions.h"
#include "frmLendFine.h"
#include "localreadertypes.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "startup/frmCircLogo.h"
#include "startup/operatorsession.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace {

// What the add-ins' argument tokens refer to.
AddinSession deskAddinSession()
{
    const Environment& env = Environment::instance();
    AddinSession session;
    session.programDirectory = env.programDirectory();
    session.database = &DbSession::current();
    session.databaseName = env.connection.dsn;
    session.databaseUser = env.connection.user;
    session.databasePassword = env.connection.password;
    session.workerNumber = LIB_GetEnv(4).toString();
    session.operatorPassword = LIB_GetEnv(5).toString();
    return session;
}

} // namespace

frmReadMain::frmReadMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmReadMain"));
    resize(1000, 700);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->setToolTip(QStringLiteral("状态说明栏"));
    sbrOperator = new QLabel(this);
    sbrOperator->setObjectName(QStringLiteral("sbrOperator"));
    statusBar()->addWidget(sbrOperator, 1);
    buildControls();
    buildMenus();
    buildToolbar();
    m_extensions =
        new DeskExtensions(this, {menuBar(), tbToolbar, [this](const QString& id) { runMenuCommand(id); },
                                  [this](const QString& id) { runToolbarCommand(id); }, &deskAddinSession,
                                  [](const QString& id) { DeskSettings::current().themeId = id; }});
    connectInformationWindows();
    m_admission.showNow = [this](const AdmissionResult& result) { showAdmission(result); };
    m_admission.settleFines = [this](DeskContext& desk) { frmLendFine::settleFines(desk, this); };
}

frmReadMain::~frmReadMain() = default;

std::unique_ptr<QWidget> frmReadMain::createForStartup(DeskHandover& handover)
{
    auto window = std::make_unique<frmReadMain>();
    handover = window->handover();
    return window;
}

DeskHandover frmReadMain::handover()
{
    DeskHandover desk;
    desk.prepareDeskData = [] {
        BarcodeReadRules::current().load();
        // The local reader types file follows the reader types just loaded; a file that cannot
        // be rewritten is logged there and the desk still opens.
        LIB_MaintainLocalReaderTypesFile();
    };
    desk.initialize = [this] { return pInitialize(); };
    desk.show = [this] { show(); };
    return desk;
}

int frmReadMain::pInitialize()
{
    DeskSettings& settings = DeskSettings::current();
    setWindowTitle(LIB_GetSysPara(1).toString());
    // 1. The desk settings of the main window.
    settings.readMainWindowSettings();
    // 2. The menu bar and toolbar stand since the window was built; 3. the grids.
    applyGridFont();
    setCopyLendAvailable(settings.copyLendAvailable());
    tmrLendDelay->stop();
    tmrLendDelay->setInterval(LIB_GetSysPara(5).toInt());
    // 4. Add-ins and themes.
    m_extensions->start(Environment::instance().programDirectory(), settings.themeId);
    // 5. Control codes, location, operator.
    takeControlCodes();
    m_desk.location = LIB_GetEnv(3).toString();
    m_desk.worker = LIB_GetEnv(4).toString();
    // 6. Status bar.
    writeOperatorStatus();
    // 7. Start mode.
    enterMode(DeskMode(qBound(0, settings.readingMode, 3)));
    // 8. Campus card.
    if (settings.campusCardInUse())
        LIB_CreateCampusCard();
    m_menuItems.value(QStringLiteral("mnuReconn"))->setEnabled(settings.campusCardInUse());
    return 0;
}

void frmReadMain::takeControlCodes()
{
    const QString codes = LIB_GetSysPara(22).toString();
    const qsizetype split = codes.indexOf(QLatin1Char(';'));
    m_endReaderCode = (split < 0 ? codes : codes.left(split)).trimmed().toUpper();
    m_copyReturnCode = split < 0 ? QString() : codes.mid(split + 1).trimmed().toUpper();
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
    m_desk.worker = LIB_GetEnv(4).toString();
    m_desk.location = LIB_GetEnv(3).toString();
    writeOperatorStatus();
    enterMode(DeskMode(qBound(0, DeskSettings::current().readingMode, 3)));
}

void frmReadMain::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    if (LIB_ShowMsg(QStringLiteral("QCM500")) == 2) {
        event->ignore();
        return;
    }
    m_closing = true;
    tmrLendDelay->stop();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible())
            window->close();
    }
    DeskSettings::current().saveThemeId(DeskSettings::current().themeId);
    m_extensions->release();
    LIB_ReleaseCampusCard();
    if (LIB_DB_Close() != 0)
        LIB_DB_ShowError();
    event->accept();
}
