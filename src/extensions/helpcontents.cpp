#include "helpcontents.h"

#include "db/messages.h"
#include "desktopopener.h"

#include <QFileInfo>
#include <QUrl>

void LIB_ShowHelpContents(const QString& helpFile)
{
    if (helpFile.trimmed().isEmpty()) {
        LIB_ShowMsg(QStringLiteral("I无法显示帮助目录，该工程没有相关联的帮助。"));
        return;
    }
    if (!QFileInfo(helpFile).isFile()) {
        LIB_ShowMsg(QStringLiteral("E帮助文件 %1 不存在。").arg(helpFile));
        return;
    }
    if (!LIB_OpenDesktopUrl(QUrl::fromLocalFile(helpFile)))
        LIB_ShowMsg(QStringLiteral("E没有能打开帮助文件 %1 的程序。").arg(helpFile));
}
