#include "addin.h"

#include "db/messages.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>

namespace {

bool named(const QDomElement& element, const char* name)
{
    return element.tagName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The child elements of an element, in document order.
QList<QDomElement> children(const QDomElement& parent, const char* name = nullptr)
{
    QList<QDomElement> found;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (!name || named(e, name))
            found << e;
    }
    return found;
}

AddinCommand commandOf(const QDomElement& element)
{
    const cExtenItem item(element);
    return {item.GetAttributeValue(QStringLiteral("shortcut")),
            item.GetAttributeValue(QStringLiteral("class"))};
}

} // namespace

bool cAddin::Initialize(const QString& fileName, bool load)
{
    FileName = fileName;
    Folder = QFileInfo(fileName).absolutePath();
    QFile file(fileName);
    QDomDocument document;
    QString error;
    int line = 0;
    int column = 0;
    if (!file.open(QIODevice::ReadOnly))
        error = file.errorString();
    else if (!document.setContent(&file, &error, &line, &column))
        error = QStringLiteral("%1（第 %2 行第 %3 列）").arg(error).arg(line).arg(column);
    if (!error.isEmpty()) {
        if (load) // a definition only read (by the manager) fails quietly
            LIB_ShowMsg(QStringLiteral("E不能调用插件定义文件\n") + fileName + QStringLiteral("。 原因：") +
                        error);
        return false;
    }

    const QDomElement root = document.documentElement();
    const cExtenItem identity(root);
    Id = identity.GetAttributeValue(QStringLiteral("id"));
    Name = identity.GetAttributeValue(QStringLiteral("name"));
    Version = identity.GetAttributeValue(QStringLiteral("version"));
    Provider = identity.GetAttributeValue(QStringLiteral("provider"));
    Icon = identity.GetAttributeValue(QStringLiteral("icon"));
    Pic = identity.GetAttributeValue(QStringLiteral("pic"));
    Url = identity.GetAttributeValue(QStringLiteral("url"));
    Description = identity.GetAttributeValue(QStringLiteral("description"));

    for (const QDomElement& section : children(root, "Requires")) {
        for (const QDomElement& requirement : children(section))
            Requires << cExtenItem(requirement);
    }
    for (const QDomElement& option : children(root, "Option"))
        Option = commandOf(option);
    for (const QDomElement& section : children(root, "Initialize")) {
        for (const QDomElement& process : children(section, "Process"))
            Processes << commandOf(process);
    }
    for (const QDomElement& section : children(root, "Runtime")) {
        for (const QDomElement& import : children(section, "Import"))
            readImport(cExtenItem(import), load);
    }
    for (const QDomElement& section : children(root, "Extension")) {
        cExtension extension;
        extension.Path = cExtenItem(section).GetAttributeValue(QStringLiteral("path"));
        for (const QDomElement& item : children(section))
            extension.Items << cExtenItem(item);
        Extensions << extension;
    }
    return true;
}

void cAddin::readImport(const cExtenItem& import, bool load)
{
    const QString file = import.GetAttributeValue(QStringLiteral("assembly"));
    const QString className = import.GetAttributeValue(QStringLiteral("class"));
    if (file.isEmpty() || className.isEmpty())
        return;
    const QString path = QDir::isAbsolutePath(file) ? file : QDir(Folder).absoluteFilePath(file);
    auto assembly = std::make_unique<cAssembly>(path, className, Folder);
    if (load && !assembly->LoadAssemblyLibrary())
        return;
    Assemblys.push_back(std::move(assembly));
}

cAssembly* cAddin::GetAssemblyByKey(const QString& className) const
{
    for (const auto& assembly : Assemblys) {
        if (assembly->ClassName.compare(className, Qt::CaseInsensitive) == 0)
            return assembly.get();
    }
    return nullptr;
}

void cAddin::Release()
{
    for (const auto& assembly : Assemblys)
        assembly->Release();
}
