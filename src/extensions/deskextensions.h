#pragma once

#include "addinscollection.h"
#include "themescollection.h"

#include <QObject>
#include <QPointer>
#include <functional>

class NewsCheck;
class QMainWindow;
class QTimer;
class frmFindText;
class QMenuBar;
class QToolBar;

// The add-ins and themes of the desk's main window: loaded when the window starts, their commands
// dispatched while it runs, released when it closes. The window hands over its menu bar and
// toolbar, the routes by which their commands reach its dispatch, and its session values.
// Also the desk's other extensions: the message centre with its check cycle, the update notes and
// the updater, the find window and the general certificate window.
class DeskExtensions : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        QMenuBar* menuBar = nullptr;
        QToolBar* toolbar = nullptr;
        std::function<void(const QString& id)> menuCommand;
        std::function<void(const QString& id)> toolbarCommand;
        std::function<AddinSession()> session;
        std::function<void(const QString& styleId)> styleChanged; // the current theme changed
    };

    DeskExtensions(QMainWindow* mainWindow, Hooks hooks);
    ~DeskExtensions() override;

    // Loads the add-ins of programDirectory/addins, runs their start-up processes and merges their
    // menu and toolbar items; loads the themes of programDirectory/themes and applies the stored
    // style (or the first theme).
    void start(const QString& programDirectory, const QString& styleId);

    // A command the window's own dispatch does not know; false when no add-in item has that id.
    bool runMenuCommand(const QString& id);
    bool runToolbarCommand(const QString& id);

    // The style to store: the current theme's id, or the stored style while no theme is current.
    QString themeId() const;

    void openAddinManager();
    void openThemeManager();
    void openNewsManager();
    void openUpdateNotes();
    void startLiveUpdate(const QString& moduleKey);
    // The find window, not modal, over every open window's grids.
    void openFindText();

    // Releases the add-ins (ending their hosts) and the themes, and carries out the add-in
    // removals and upgrades the manager recorded.
    void release();

    cAddinsCollection& addins() { return m_addins; }
    cThemesCollection& themes() { return m_themes; }

    // An open window of the program by its object name.
    static QObject* findWindow(const QString& name);

private:
    void startNewsCycle();

    QMainWindow* m_mainWindow;
    Hooks m_hooks;
    cAddinsCollection m_addins;
    cThemesCollection m_themes;
    QString m_styleId;
    QString m_programDirectory;
    NewsCheck* m_newsCheck = nullptr; // the checks of the cycle
    QTimer* m_newsCycle = nullptr;
    QPointer<frmFindText> m_find;
};
