#include "deskextensions.h"

#include "addinmenumerge.h"
#include "frmAddinManager.h"
#include "frmThemeManager.h"
#include "packageinstaller.h"

#include <QApplication>
#include <QMainWindow>

DeskExtensions::DeskExtensions(QMainWindow* mainWindow, Hooks hooks)
    : QObject(mainWindow), m_mainWindow(mainWindow), m_hooks(std::move(hooks))
{
    m_addins.MainForm = mainWindow;
    m_addins.sessionValues = m_hooks.session;
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

void DeskExtensions::release()
{
    const QString directory = m_addins.Path;
    m_styleId = themeId();
    m_addins.Clear();
    m_themes.Clear();
    if (!directory.isEmpty())
        PackageInstaller::applyPendingChanges(directory);
}
