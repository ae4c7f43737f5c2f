#pragma once

#include "assembly.h"
#include "extension.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

// A command of an add-in: a shortcut text and the class it calls.
struct AddinCommand
{
    QString shortcut;
    QString className;
};

// One add-in: a folder under the add-in directory with its definition file addin.xml.
class cAddin
{
public:
    // The definition's root attributes.
    QString Id;
    QString Name;
    QString Version;
    QString Provider;
    QString Icon; // file names in the add-in's folder
    QString Pic;
    QString Url;
    QString Description;

    QString FileName; // the definition file
    QString Folder;   // its folder

    QList<cExtenItem> Requires;
    AddinCommand Option;
    QList<AddinCommand> Processes; // run once when the desk starts, in document order
    std::vector<std::unique_ptr<cAssembly>> Assemblys;
    QList<cExtension> Extensions;

    // Reads the definition. With load, a definition that cannot be read shows why, and each
    // imported library is checked and left out (with its message) when it is missing.
    bool Initialize(const QString& fileName, bool load = true);
    // The imported component of that class name (compared without regard to case), or nothing.
    cAssembly* GetAssemblyByKey(const QString& className) const;
    // Ends the host processes of the add-in's libraries.
    void Release();

private:
    void readImport(const cExtenItem& import, bool load);
};
