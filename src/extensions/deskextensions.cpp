#include "deskextensions.h"

#include "addinmenumerge.h"
#include "frmAddinManager.h"
#include "frmFindText.h"
#include "frmGeneralInfo.h"
#include "frmLastUpdating.h"
#include "frmNewsManager.h"
#include "frmThemeManager.h"
#include "info/frmRedrInfo.h"
#include "liveupdatelauncher.h"
#include "newscheck.h"
#include "packageinstaller.h"
#include "startup/environment.h"
#include "startup/frmCircLogo.h"

#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

DeskExtensions::DeskExtensions(QMainWindow* mainWindow, Hooks hooks)
    : QObject(mainWindow), m_mainWindow(mainWindow), m_hooks(std::move(hooks))
{
    m_addins.MainForm = mainWindow;
    m_addins.sessionValues = m_hooks.session;
    // The windows that other windows open through the desk's extensions.
    frmRedrInfo::setGeneralInfoOpener(&frmGeneralInfo::open);
    frmCircLogo::setUpdatesOpener(&frmLastUpdating::showDeskNotes);
}

DeskExtensions::~DeskExtensions()
{
    release();
}

QObject* DeskExtensions::findWindow(const QString& name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->objectName() == name)
            return window;
    }
    return nullptr;
}

void DeskExtensions::start(const QString& programDirectory, const QString& styleId)
{
    const QString directory =
        programDirectory.endsWith(QLatin1Char('/')) ? programDirectory : programDirectory + QLatin1Char('/');
    m_addins.ConfigFile = QStringLiteral("addin.xml");
    m_addins.LoadAddins(directory + QStringLiteral("addins"));
    m_addins.RunStartupProcesses();
    if (m_hooks.menuBar)
        mergeAddinMenuItems(m_addins, m_hooks.menuBar, m_hooks.menuCommand);
    if (m_hooks.toolbar)
        mergeAddinToolbarItems(m_addins, m_hooks.toolbar, m_hooks.toolbarCommand);

    m_themes.Module = 5;
    m_themes.ConfigFile = QStringLiteral("theme.xml");
    m_themes.LoadThemes(directory + QStringLiteral("themes"));
    m_styleId = m_themes.ApplyStyle(styleId, &DeskExtensions::findWindow);
    if (m_hooks.styleChanged)
        m_hooks.styleChanged(m_styleId);

    m_programDirectory = directory;
    startNewsCycle();
}

// Messages are fetched every CheckCycle minutes while the desk runs, when channels are set.
void DeskExtensions::startNewsCycle()
{
    delete m_newsCheck;
    m_newsCheck = new NewsCheck(m_programDirectory, this);
    const int minutes = m_newsCheck->store().checkCycleMinutes();
    if (minutes <= 0 || m_newsCheck->store().channels().isEmpty())
        return;
    if (!m_newsCycle) {
        m_newsCycle = new QTimer(this);
        m_newsCycle->setObjectName(QStringLiteral("tmrNewsCycle"));
        connect(m_newsCycle, &QTimer::timeout, this, [this] { m_newsCheck->start(false); });
    }
    connect(m_newsCheck, &NewsCheck::messagesArrived, this, [this](int count) {
        if (count > 0)
            m_mainWindow->statusBar()->showMessage(
                QStringLiteral("收到 %1 条新消息，请在“消息管理中心”中查看。").arg(count), 60000);
    });
    m_newsCycle->start(minutes * 60000);
}

bool DeskExtensions::runMenuCommand(const QString& id)
{
    return m_addins.RunExtensionCommand(AddinPaths::mainMenu, id);
}

bool DeskExtensions::runToolbarCommand(const QString& id)
{
    return m_addins.RunExtensionCommand(AddinPaths::standardToolbar, id);
}

QString DeskExtensions::themeId() const
{
    return m_themes.SelectedItem() ? m_themes.SelectedItem()->Id : m_styleId;
}

void DeskExtensions::openAddinManager()
{
    frmAddinManager manager(m_addins, m_mainWindow);
    manager.exec();
}

void DeskExtensions::openThemeManager()
{
    frmThemeManager manager(m_themes, &DeskExtensions::findWindow, m_mainWindow);
    manager.exec();
    m_styleId = themeId();
    if (m_hooks.styleChanged)
        m_hooks.styleChanged(m_styleId);
}

void DeskExtensions::openNewsManager()
{
    frmNewsManager manager(m_programDirectory.isEmpty() ? Environment::instance().programDirectory()
                                                        : m_programDirectory,
                           m_mainWindow);
    manager.exec();
}

void DeskExtensions::openUpdateNotes()
{
    frmLastUpdating::showDeskNotes(m_mainWindow);
}

void DeskExtensions::startLiveUpdate(const QString& moduleKey)
{
    LiveUpdateLauncher::run(m_mainWindow, moduleKey);
}

void DeskExtensions::openFindText()
{
    if (!m_find) {
        m_find = new frmFindText(m_mainWindow);
        m_find->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_find->setSearchWindow(nullptr);
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void DeskExtensions::release()
{
    if (m_newsCycle)
        m_newsCycle->stop();
    if (m_newsCheck)
        m_newsCheck->stop();
    const QString directory = m_addins.Path;
    m_styleId = themeId();
    m_addins.Clear();
    m_themes.Clear();
    if (!directory.isEmpty())
        PackageInstaller::applyPendingChanges(directory);
}
