// The example add-in: a command in the tools menu and on the toolbar that shows who is working at
// the desk. Its procedures run in the desk's add-in host (see addinhostprotocol.h).
#include <QGuiApplication>
#include <QMessageBox>
#include <QString>
#include <cstdio>

namespace {

// Written to the standard output, which the desk receives; shown in a box when there is a screen.
void tell(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::information(nullptr, QStringLiteral("示例插件"), text);
}

} // namespace

extern "C" {

Q_DECL_EXPORT void Show(const char* workerNumber)
{
    tell(QStringLiteral("当前操作员：") + QString::fromUtf8(workerNumber ? workerNumber : ""));
}

Q_DECL_EXPORT void About()
{
    tell(QStringLiteral("示例插件 1.0：在“工具”菜单和工具栏中加入“当前操作员”命令。"));
}

} // extern "C"
