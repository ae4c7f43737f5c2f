#include "consolepresenter.h"

#include <QGuiApplication>
#include <cstdio>

int ConsolePresenter::show(const Box& box)
{
    QString line = box.title.isEmpty() ? box.text : box.title + QStringLiteral(": ") + box.text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    std::fprintf(stderr, "readdesk: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
    const bool cancel = box.buttons == Buttons::OkCancel && box.cancelIsDefault;
    return cancel ? 2 : 1;
}

void ConsolePresenter::install()
{
    LIB_SetMessagePresenter(std::make_unique<ConsolePresenter>());
}

bool ConsolePresenter::screenIsInvisible()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}
