#pragma once

#include "theme.h"

#include <memory>
#include <vector>

// The desk's themes: the sub-folders of the theme directory named "zqui.tavorn.<module>.<x>.<y>"
// for the desk's own module that hold a valid definition, keyed by their id.
class cThemesCollection
{
public:
    QString Path; // the theme directory
    QString ConfigFile = QStringLiteral("theme.xml");
    int Module = 5; // the desk

    const std::vector<std::unique_ptr<cTheme>>& Themes() const { return m_themes; }
    cTheme* Item(int index) const;
    cTheme* Item(const QString& key) const; // by id, without regard to case
    cTheme* SelectedItem() const;           // the first theme marked selected

    void Clear();
    void LoadThemes(const QString& path = {});

    // Makes a theme the current one: what the previous theme set is undone, the theme is read
    // and applied and marked selected. False when it cannot be read.
    bool Apply(cTheme* theme, const ThemeWindowFinder& findWindow);
    // The start of the main window: the theme keyed by the stored style, or else the first one,
    // becomes current. Returns the style to keep: the current theme's id, or the stored style
    // unchanged when no theme is installed.
    QString ApplyStyle(const QString& styleId, const ThemeWindowFinder& findWindow);

    // The module code of a module number ("lt3" for the desk, 5); empty for modules unknown here.
    static QString moduleCode(int module);
    // True for a folder name of at least five dotted parts, "zqui", "tavorn" and the module code
    // first (compared without regard to case).
    static bool isModuleFolder(const QString& folder, const QString& moduleCode);

private:
    std::vector<std::unique_ptr<cTheme>> m_themes;
    ThemeRestorePoint m_restore;
};
