#include "frmThemeManager.h"

#include "extensionmessages.h"
#include "themescollection.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTreeWidget>

frmThemeManager::frmThemeManager(cThemesCollection& themes, ThemeWindowFinder findWindow, QWidget* parent)
    : ExtensionManagerDialog("frmThemeManager", QStringLiteral("界面主题"), parent), m_themes(themes),
      m_findWindow(std::move(findWindow))
{
    QPushButton* cmdInstall = addCommand("cmdInstall", QStringLiteral("安装(&I)..."));
    QPushButton* cmdUnInstall = addCommand("cmdUnInstall", QStringLiteral("卸载(&U)"));
    QPushButton* cmdUpgrade = addCommand("cmdUpgrade", QStringLiteral("升级(&G)..."));
    QPushButton* cmdApply = addCommand("cmdApply", QStringLiteral("应用(&A)"));
    QPushButton* cmdClose = addCommand("cmdClose", QStringLiteral("关闭(&C)"));
    connect(cmdInstall, &QPushButton::clicked, this, [this] { choosePackage(false); });
    connect(cmdUpgrade, &QPushButton::clicked, this, [this] { choosePackage(true); });
    connect(cmdUnInstall, &QPushButton::clicked, this, &frmThemeManager::uninstallSelected);
    connect(cmdApply, &QPushButton::clicked, this, &frmThemeManager::applySelected);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(tree, &QTreeWidget::currentItemChanged, this, &frmThemeManager::selectionChanged);
    reload();
}

void frmThemeManager::reload()
{
    tree->clear();
    QTreeWidgetItem* current = nullptr;
    for (const auto& theme : m_themes.Themes()) {
        const QString caption = (theme->Name.isEmpty() ? theme->Id : theme->Name) +
                                (theme->Selected ? QStringLiteral("(当前应用主题)") : QString());
        QTreeWidgetItem* item =
            addExtension(theme->Id, caption, theme->IconImage,
                         {theme->Description,
                          theme->Version.isEmpty() ? QString() : QStringLiteral("版本：") + theme->Version});
        if (theme->Selected)
            current = item;
    }
    tree->setCurrentItem(current ? current : tree->topLevelItem(0));
    selectionChanged();
}

void frmThemeManager::selectionChanged()
{
    const cTheme* theme = m_themes.Item(selectedKey());
    showPicture(theme ? theme->PicImage : QPixmap());
}

void frmThemeManager::choosePackage(bool upgrade)
{
    const QString file = QFileDialog::getOpenFileName(
        this, upgrade ? QStringLiteral("选择要升级的界面主题") : QStringLiteral("选择要安装的界面主题"),
        QString(), QStringLiteral("界面主题包 (*.zip)"));
    if (!file.isEmpty())
        installPackage(file, upgrade);
}

void frmThemeManager::installPackage(const QString& packageFile, bool upgrade)
{
    const QString question =
        QStringLiteral("是否确定从") + packageFile +
        (upgrade ? QStringLiteral("中升级界面主题？") : QStringLiteral("中安装界面主题？"));
    if (LIB_ShowMsg(QStringLiteral("Q") + question) != 1)
        return;
    PackageInstaller installer(m_themes.Path, m_themes.ConfigFile);
    const QString code = cThemesCollection::moduleCode(m_themes.Module);
    installer.acceptsFolder = [code](const QString& folder) {
        return cThemesCollection::isModuleFolder(folder, code);
    };
    const PackageInstaller::Result result = unpack(installer, packageFile);
    if (result.outcome == PackageInstaller::Outcome::Invalid)
        LIB_ShowErrorBox(QStringLiteral("界面主题文件无效！"));
    else if (result.outcome == PackageInstaller::Outcome::Refused)
        LIB_ShowErrorBox(QStringLiteral("界面主题文件无效！\n") + result.error);
    if (result.outcome != PackageInstaller::Outcome::Installed)
        return;
    m_themes.LoadThemes();
    // An upgrade of the current theme shows at once.
    if (cTheme* current = m_themes.SelectedItem();
        current && QFileInfo(current->Folder).fileName() == result.folder)
        m_themes.Apply(current, m_findWindow);
    reload();
}

void frmThemeManager::uninstallSelected()
{
    cTheme* theme = m_themes.Item(selectedKey());
    if (!theme)
        return;
    if (theme->Selected) {
        LIB_ShowTitledMsg(MessagePresenter::Icon::Information, QStringLiteral("不能卸载当前应用主题！"),
                          QStringLiteral("提示"));
        return;
    }
    const QString name = theme->Name.isEmpty() ? theme->Id : theme->Name;
    if (LIB_ShowMsg(QStringLiteral("Q您确定要卸载界面主题 ") + name + QStringLiteral(" 吗？")) != 1)
        return;
    QDir(theme->Folder).removeRecursively();
    m_themes.LoadThemes();
    reload();
}

void frmThemeManager::applySelected()
{
    cTheme* theme = m_themes.Item(selectedKey());
    if (!theme)
        return;
    if (!m_themes.Apply(theme, m_findWindow))
        LIB_ShowTitledMsg(MessagePresenter::Icon::Information, QStringLiteral("选定主题应用失败！"),
                          QStringLiteral("提示"));
    reload();
}
