#pragma once

#include "addin.h"

#include <QPointer>
#include <functional>

// What running a shortcut came to.
struct ShortcutRun
{
    enum Outcome {
        NothingRun, // unreadable shortcut, unknown kind, no add-in with the class, too many arguments
        Called,     // an "Interface" procedure ran
        Started,    // a "Program" started
        Failed,     // the call or the start failed (its message was shown)
    };
    Outcome outcome = NothingRun;
    AddinCall call;
};

// The desk's add-ins: every sub-folder of the add-in directory that holds the definition file.
class cAddinsCollection
{
public:
    cAddinsCollection() = default;
    ~cAddinsCollection();
    cAddinsCollection(const cAddinsCollection&) = delete;
    cAddinsCollection& operator=(const cAddinsCollection&) = delete;

    QString Path;               // the add-in directory
    QPointer<QObject> MainForm; // whose controls %OBJECT% arguments name
    QString ConfigFile = QStringLiteral("addin.xml");
    std::function<AddinSession()> sessionValues; // the desk's session, read when a command runs

    const std::vector<std::unique_ptr<cAddin>>& Addins() const { return m_addins; }

    // Releases every add-in.
    void Clear();
    // Applies the installs and removals that waited for this start, then loads the add-ins in
    // folder order; a definition that cannot be read is left out with its message.
    void LoadAddins(const QString& path = {});
    // The extensions, in load order, whose path lies under the given one.
    QList<const cExtension*> GetExtensByPath(const QString& path) const;
    // Runs a shortcut for a class: "Interface" calls a procedure of the first add-in importing the
    // class, "Program" starts a program.
    ShortcutRun ExcuteExtenShortcut(const QString& className, const QString& shortcut);

    // The start-up processes of every add-in, in load order.
    void RunStartupProcesses();
    // A merged command: runs every item under the path whose id is the command's. False when no
    // item has that id.
    bool RunExtensionCommand(const QString& path, const QString& id);

private:
    std::vector<std::unique_ptr<cAddin>> m_addins;
};

// Extension paths and item elements the desk's main window offers.
namespace AddinPaths {
inline const QString mainMenu = QStringLiteral("%frmMain%\\%MainMenu%");
inline const QString toolbar = QStringLiteral("%frmMain%\\%Toolbar%");
inline const QString standardToolbar = QStringLiteral("%frmMain%\\%Toolbar%\\Standard");
inline const QString mainMenuKey = QStringLiteral("%MainMenu%");
inline const QString toolbarKey = QStringLiteral("%Toolbar%");
inline const QString menuItem = QStringLiteral("MenuItem");
inline const QString commandItem = QStringLiteral("CommandItem");
} // namespace AddinPaths
