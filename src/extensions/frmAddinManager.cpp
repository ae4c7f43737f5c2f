#include "frmAddinManager.h"

#include "addinscollection.h"
#include "extensionmessages.h"
#include "startup/applicationtitle.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QString programTitle()
{
    return QStringLiteral("[") + LIB_ApplicationTitle() + QStringLiteral("]");
}

} // namespace

frmAddinManager::frmAddinManager(cAddinsCollection& addins, QWidget* parent)
    : ExtensionManagerDialog("frmAddinManager", QStringLiteral("插件管理"), parent), m_addins(addins)
{
    QPushButton* cmdInstall = addCommand("cmdInstall", QStringLiteral("安装(&I)..."));
    cmdUnInstall = addCommand("cmdUnInstall", QStringLiteral("卸载(&U)"));
    QPushButton* cmdUpgrade = addCommand("cmdUpgrade", QStringLiteral("升级(&G)..."));
    cmdOption = addCommand("cmdOption", QStringLiteral("选项(&O)"));
    QPushButton* cmdClose = addCommand("cmdClose", QStringLiteral("关闭(&C)"));
    connect(cmdInstall, &QPushButton::clicked, this, [this] { choosePackage(false); });
    connect(cmdUpgrade, &QPushButton::clicked, this, [this] { choosePackage(true); });
    connect(cmdUnInstall, &QPushButton::clicked, this, &frmAddinManager::uninstallSelected);
    connect(cmdOption, &QPushButton::clicked, this, &frmAddinManager::runSelectedOption);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(tree, &QTreeWidget::currentItemChanged, this, &frmAddinManager::selectionChanged);
    reload();
}

// Every folder with a definition is listed: the add-ins loaded at this start, and those installed
// since, read without loading them.
void frmAddinManager::reload()
{
    tree->clear();
    const QDir directory(m_addins.Path);
    for (const QString& folder : directory.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString file = directory.filePath(folder + QLatin1Char('/') + m_addins.ConfigFile);
        const cAddin* loaded = nullptr;
        for (const auto& addin : m_addins.Addins()) {
            if (QFileInfo(addin->FileName) == QFileInfo(file))
                loaded = addin.get();
        }
        cAddin unloaded;
        if (!loaded && (!QFileInfo(file).isFile() || !unloaded.Initialize(file, false)))
            continue;
        const cAddin& addin = loaded ? *loaded : unloaded;
        QString note;
        if (PackageInstaller::isMarkedForRemoval(m_addins.Path, folder))
            note = QStringLiteral("此插件将在您关闭 ") + programTitle() + QStringLiteral(" 时卸载");
        else if (!loaded || PackageInstaller::hasStagedUpgrade(m_addins.Path, folder))
            note = QStringLiteral("此插件将在您下次运行 ") + programTitle() + QStringLiteral(" 时启用");
        addExtension(folder, addin.Name.isEmpty() ? folder : addin.Name,
                     QPixmap(QDir(addin.Folder).filePath(addin.Icon)),
                     {addin.Description,
                      addin.Version.isEmpty() ? QString() : QStringLiteral("版本：") + addin.Version,
                      addin.Provider.isEmpty() ? QString() : QStringLiteral("提供者：") + addin.Provider,
                      note});
    }
    if (tree->topLevelItemCount() > 0)
        tree->setCurrentItem(tree->topLevelItem(0));
    selectionChanged();
}

void frmAddinManager::selectionChanged()
{
    const QString folder = selectedKey();
    const cAddin* addin = nullptr;
    for (const auto& each : m_addins.Addins()) {
        if (!folder.isEmpty() && QFileInfo(each->Folder).fileName() == folder)
            addin = each.get();
    }
    cmdUnInstall->setEnabled(!folder.isEmpty() &&
                             !PackageInstaller::isMarkedForRemoval(m_addins.Path, folder));
    cmdOption->setEnabled(addin && !addin->Option.shortcut.isEmpty());
    showPicture(addin && !addin->Pic.isEmpty() ? QPixmap(QDir(addin->Folder).filePath(addin->Pic))
                                               : QPixmap());
}

void frmAddinManager::choosePackage(bool upgrade)
{
    const QString file = QFileDialog::getOpenFileName(
        this, upgrade ? QStringLiteral("选择要升级的插件") : QStringLiteral("选择要安装的插件"), QString(),
        QStringLiteral("插件包 (*.zip)"));
    if (!file.isEmpty())
        installPackage(file, upgrade);
}

void frmAddinManager::installPackage(const QString& packageFile, bool upgrade)
{
    const QString question =
        upgrade ? QStringLiteral("是否确定从") + packageFile + QStringLiteral("中升级插件？")
                : QStringLiteral("是否确定从") + packageFile + QStringLiteral("中安装插件？");
    if (LIB_ShowMsg(QStringLiteral("Q") + question) != 1)
        return;
    PackageInstaller installer(m_addins.Path, m_addins.ConfigFile);
    installer.stageReplacements = true; // the add-ins in use stay until the desk closes
    const PackageInstaller::Result result = unpack(installer, packageFile);
    if (result.outcome == PackageInstaller::Outcome::Invalid)
        LIB_ShowErrorBox(QStringLiteral("插件文件无效！"));
    else if (result.outcome == PackageInstaller::Outcome::Refused)
        LIB_ShowErrorBox(QStringLiteral("插件文件无效！\n") + result.error);
    reload();
}

void frmAddinManager::uninstallSelected()
{
    const QString folder = selectedKey();
    if (folder.isEmpty())
        return;
    const QString name = selectedItem()->text(0);
    if (LIB_ShowMsg(QStringLiteral("Q如果您卸载 ") + name +
                    QStringLiteral("，那就不能再使用它提供的功能，您确定要卸载 ") + name +
                    QStringLiteral(" 吗？")) != 1)
        return;
    PackageInstaller::markForRemoval(m_addins.Path, folder);
    reload();
}

void frmAddinManager::runSelectedOption()
{
    const QString folder = selectedKey();
    for (const auto& addin : m_addins.Addins()) {
        if (QFileInfo(addin->Folder).fileName() == folder && !addin->Option.shortcut.isEmpty()) {
            m_addins.ExcuteExtenShortcut(addin->Option.className, addin->Option.shortcut);
            return;
        }
    }
}
