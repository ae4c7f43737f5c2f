#pragma once

#include <QString>
#include <functional>

class cAddinsCollection;
class QMenuBar;
class QToolBar;

// Hangs the add-ins' "MenuItem" items into the main window's menus and their "CommandItem" items
// onto its toolbar. An item whose id is empty or names a command the window has already is
// skipped. A new command hands its id to `command` when the operator uses it.
void mergeAddinMenuItems(const cAddinsCollection& addins, QMenuBar* menuBar,
                         const std::function<void(const QString& id)>& command);
void mergeAddinToolbarItems(const cAddinsCollection& addins, QToolBar* toolbar,
                            const std::function<void(const QString& id)>& command);
