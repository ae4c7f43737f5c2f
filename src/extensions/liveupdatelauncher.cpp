#include "liveupdatelauncher.h"

#include "extensionmessages.h"
#include "liveupdate.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

LiveUpdateLauncher::ProgramChooser& chooser()
{
    // The updater keeps its Windows name; on this desktop any program may be chosen.
    static LiveUpdateLauncher::ProgramChooser choose = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("选择升级执行程序"), QString(),
                                            QStringLiteral("执行程序(*.exe);;所有文件(*)"));
    };
    return choose;
}

} // namespace

void LiveUpdateLauncher::setProgramChooser(ProgramChooser choose)
{
    chooser() = std::move(choose);
}

bool LiveUpdateLauncher::run(QWidget* mainWindow, const QString& moduleKey)
{
    QString program = LiveUpdate::storedUpdater();
    if (!QFileInfo::exists(program)) {
        if (!LIB_AskQuestion(QStringLiteral("没有找到默认的智能升级程序，是否选择新的升级程序文件？"),
                             QStringLiteral("提示")))
            return false;
        program = chooser()(mainWindow);
        if (program.isEmpty())
            return false;
        LiveUpdate::storeUpdater(program);
    }
    if (LiveUpdate::start(program, moduleKey))
        return true;
    LIB_ShowErrorBox(QStringLiteral("不能启动智能升级程序 %1。").arg(program));
    return false;
}
