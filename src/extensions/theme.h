#pragma once

#include "themevalue.h"

#include <QList>
#include <QPixmap>
#include <QString>
#include <functional>

// The settings of one window, or of one control of it, in a theme.
struct ThemeFormEntry
{
    QString window;
    QString control;          // empty: the window itself
    QString index;            // a control array element: its index
    QList<ThemeParam> params; // BeforeParam, ApplyParam and AfterParam entries, in that order
};

// Finds an open window of the program by its name, or nothing.
using ThemeWindowFinder = std::function<QObject*(const QString& name)>;

// One theme: a folder under the theme directory with its definition theme.xml.
class cTheme
{
public:
    QString Id;
    QString Name;
    QString Description;
    QString Version;
    QString Icon; // file names in the theme's folder
    QString Pic;
    QString Url;
    QPixmap IconImage;
    QPixmap PicImage;
    QString FileName;
    QString Folder;
    bool Selected = false;
    QList<ThemeFormEntry> Forms;

    // Reads the root of the definition; false (silently) when it cannot be read or has no id.
    bool Initialize(const QString& fileName);
    // Reads the "Form" sections.
    bool LoadTheme();
    // Applies every entry in document order to the open windows and controls it names, skipping
    // those that do not exist. False when the definition cannot be read.
    bool ApplyTheme(const ThemeWindowFinder& findWindow, ThemeRestorePoint* restore = nullptr);

    // The control an entry names: the control array element "<name><index>" when it has an index.
    static QObject* findControl(QObject* window, const QString& name, const QString& index);
};
