#pragma once

#include "extensionmanagerdialog.h"

class cAddinsCollection;

// "插件管理": the installed add-ins with their notes; installs, upgrades and removes add-in
// packages (taking effect when the desk closes or next starts) and runs an add-in's options.
class frmAddinManager : public ExtensionManagerDialog
{
    Q_OBJECT
public:
    explicit frmAddinManager(cAddinsCollection& addins, QWidget* parent = nullptr);

    // Install and Upgrade after the package file has been chosen.
    void installPackage(const QString& packageFile, bool upgrade = false);
    void uninstallSelected();
    void runSelectedOption();

private:
    void reload();
    void choosePackage(bool upgrade);
    void selectionChanged();

    cAddinsCollection& m_addins;
    QPushButton* cmdUnInstall = nullptr;
    QPushButton* cmdOption = nullptr;
};
