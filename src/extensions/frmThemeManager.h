#pragma once

#include "extensionmanagerdialog.h"
#include "theme.h"

class cThemesCollection;

// "界面主题": the installed themes, the current one marked; installs, upgrades, removes and
// applies themes, all at once.
class frmThemeManager : public ExtensionManagerDialog
{
    Q_OBJECT
public:
    frmThemeManager(cThemesCollection& themes, ThemeWindowFinder findWindow, QWidget* parent = nullptr);

    // Install and Upgrade after the package file has been chosen.
    void installPackage(const QString& packageFile, bool upgrade = false);
    void uninstallSelected();
    void applySelected();

private:
    void reload();
    void choosePackage(bool upgrade);
    void selectionChanged();

    cThemesCollection& m_themes;
    ThemeWindowFinder m_findWindow;
};
