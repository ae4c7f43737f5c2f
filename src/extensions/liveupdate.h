#pragma once

#include <QString>
#include <QStringList>

// The external updater of the desk. Its program is stored in the desk's settings ("Settings",
// "UpdateExcute"); by default it is LiveUpdate.exe in the program directory, or beside the desk's
// executable when the program directory is a per-user copy of an installed desk. It is started
// with the operator's staff number and password and the edition to update:
//   <program> <staff number> <password> editions=流通阅览:3.0.0001 module=<key> home=<program directory>
namespace LiveUpdate {

QString storedUpdater();
void storeUpdater(const QString& program);
// In the program directory, or beside the desk's executable when only that folder holds one.
QString defaultUpdater(const QString& executableDirectory = {});

// "流通阅览:<major>.<minor>.<revision as four digits>"
QString edition();
QStringList arguments(const QString& moduleKey);
QString commandLine(const QString& program, const QString& moduleKey);

// Starts the updater without waiting for it. false when it cannot be started.
bool start(const QString& program, const QString& moduleKey);

} // namespace LiveUpdate
