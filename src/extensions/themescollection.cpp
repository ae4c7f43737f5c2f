#include "themescollection.h"

#include <QDir>
#include <QFileInfo>

QString cThemesCollection::moduleCode(int module)
{
    return module == 5 ? QStringLiteral("lt3") : QString();
}

bool cThemesCollection::isModuleFolder(const QString& folder, const QString& moduleCode)
{
    const QStringList parts = folder.split(QLatin1Char('.'));
    return !moduleCode.isEmpty() && parts.size() >= 5 &&
           parts.at(0).compare(QLatin1String("zqui"), Qt::CaseInsensitive) == 0 &&
           parts.at(1).compare(QLatin1String("tavorn"), Qt::CaseInsensitive) == 0 &&
           parts.at(2).compare(moduleCode, Qt::CaseInsensitive) == 0;
}

cTheme* cThemesCollection::Item(int index) const
{
    return index >= 0 && std::size_t(index) < m_themes.size() ? m_themes.at(index).get() : nullptr;
}

cTheme* cThemesCollection::Item(const QString& key) const
{
    for (const auto& theme : m_themes) {
        if (theme->Id.compare(key, Qt::CaseInsensitive) == 0)
            return theme.get();
    }
    return nullptr;
}

cTheme* cThemesCollection::SelectedItem() const
{
    for (const auto& theme : m_themes) {
        if (theme->Selected)
            return theme.get();
    }
    return nullptr;
}

void cThemesCollection::Clear()
{
    m_themes.clear();
}

void cThemesCollection::LoadThemes(const QString& path)
{
    const QString selected = SelectedItem() ? SelectedItem()->Id : QString();
    Clear();
    if (!path.isEmpty())
        Path = path;
    const QDir directory(Path);
    const QString code = moduleCode(Module);
    for (const QString& folder : directory.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!isModuleFolder(folder, code))
            continue;
        auto theme = std::make_unique<cTheme>();
        if (!theme->Initialize(directory.filePath(folder + QLatin1Char('/') + ConfigFile)) || Item(theme->Id))
            continue;
        theme->Selected = !selected.isEmpty() && theme->Id == selected;
        m_themes.push_back(std::move(theme));
    }
}

bool cThemesCollection::Apply(cTheme* theme, const ThemeWindowFinder& findWindow)
{
    if (!theme || !theme->LoadTheme())
        return false;
    m_restore.restore();
    for (const auto& each : m_themes)
        each->Selected = each.get() == theme;
    return theme->ApplyTheme(findWindow, &m_restore);
}

QString cThemesCollection::ApplyStyle(const QString& styleId, const ThemeWindowFinder& findWindow)
{
    cTheme* current = Item(styleId);
    if (!current)
        current = Item(0);
    if (!current)
        return styleId;
    Apply(current, findWindow);
    return current->Id;
}
