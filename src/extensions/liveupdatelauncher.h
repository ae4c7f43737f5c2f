#pragma once

#include <QString>
#include <functional>

class QWidget;

// "在线智能升级": starts the stored updater; when that program is missing, offers to choose
// another, which is then stored.
namespace LiveUpdateLauncher {

// Picks an updater program; the file dialog by default, a test puts its own.
using ProgramChooser = std::function<QString(QWidget* parent)>;
void setProgramChooser(ProgramChooser chooser);

// true when the updater was started.
bool run(QWidget* mainWindow, const QString& moduleKey);

} // namespace LiveUpdateLauncher
