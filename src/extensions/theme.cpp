#include "theme.h"

#include "extension.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>

namespace {

QDomElement readRoot(const QString& fileName)
{
    QFile file(fileName);
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return {};
    return document.documentElement();
}

QList<QDomElement> children(const QDomElement& parent, const char* name)
{
    QList<QDomElement> found;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            found << e;
    }
    return found;
}

// The entries of the three parameter sections below an element, section by section.
QList<ThemeParam> paramsOf(const QDomElement& holder)
{
    QList<ThemeParam> params;
    for (const char* section : {"BeforeParam", "ApplyParam", "AfterParam"}) {
        for (const QDomElement& s : children(holder, section)) {
            for (QDomElement e = s.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
                const bool method = e.tagName().compare(QLatin1String("Method"), Qt::CaseInsensitive) == 0;
                if (!method && e.tagName().compare(QLatin1String("Property"), Qt::CaseInsensitive) != 0)
                    continue;
                const cExtenItem entry(e);
                params.append({method, entry.GetAttributeValue(QStringLiteral("name")),
                               entry.GetAttributeValue(QStringLiteral("type")),
                               entry.GetAttributeValue(QStringLiteral("value"))});
            }
        }
    }
    return params;
}

QPixmap pictureIn(const QString& folder, const QString& file)
{
    return file.isEmpty() ? QPixmap() : QPixmap(QDir(folder).filePath(file));
}

} // namespace

bool cTheme::Initialize(const QString& fileName)
{
    const QDomElement root = readRoot(fileName);
    const cExtenItem identity(root);
    Id = identity.GetAttributeValue(QStringLiteral("id"));
    if (root.isNull() || Id.isEmpty())
        return false;
    FileName = fileName;
    Folder = QFileInfo(fileName).absolutePath();
    Name = identity.GetAttributeValue(QStringLiteral("name"));
    Description = identity.GetAttributeValue(QStringLiteral("description"));
    Version = identity.GetAttributeValue(QStringLiteral("version"));
    Icon = identity.GetAttributeValue(QStringLiteral("icon"));
    Pic = identity.GetAttributeValue(QStringLiteral("pic"));
    Url = identity.GetAttributeValue(QStringLiteral("url"));
    IconImage = pictureIn(Folder, Icon);
    PicImage = pictureIn(Folder, Pic);
    return true;
}

bool cTheme::LoadTheme()
{
    Forms.clear();
    const QDomElement root = readRoot(FileName);
    if (root.isNull())
        return false;
    for (const QDomElement& form : children(root, "Form")) {
        const QString window = cExtenItem(form).GetAttributeValue(QStringLiteral("id"));
        // Entries keep the document's order of controls and window settings.
        for (QDomElement e = form.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.tagName().compare(QLatin1String("FormTheme"), Qt::CaseInsensitive) == 0) {
                Forms.append({window, {}, {}, paramsOf(e)});
            } else if (e.tagName().compare(QLatin1String("Controls"), Qt::CaseInsensitive) == 0) {
                for (const QDomElement& control : children(e, "Control")) {
                    const cExtenItem names(control);
                    Forms.append({window, names.GetAttributeValue(QStringLiteral("id")),
                                  names.GetAttributeValue(QStringLiteral("index")), paramsOf(control)});
                }
            }
        }
    }
    return true;
}

QObject* cTheme::findControl(QObject* window, const QString& name, const QString& index)
{
    const QString objectName = index.trimmed().isEmpty() ? name : name + index.trimmed();
    return window->findChild<QObject*>(objectName);
}

bool cTheme::ApplyTheme(const ThemeWindowFinder& findWindow, ThemeRestorePoint* restore)
{
    if (Forms.isEmpty() && !LoadTheme())
        return false;
    for (const ThemeFormEntry& entry : std::as_const(Forms)) {
        QObject* window = findWindow ? findWindow(entry.window) : nullptr;
        QObject* target =
            window && !entry.control.isEmpty() ? findControl(window, entry.control, entry.index) : window;
        if (!target)
            continue;
        for (const ThemeParam& param : entry.params)
            applyThemeParam(target, param, Folder, restore);
    }
    return true;
}
