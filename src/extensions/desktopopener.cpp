#include "desktopopener.h"

#include <QDesktopServices>

namespace {

std::function<bool(const QUrl&)>& opener()
{
    static std::function<bool(const QUrl&)> open = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    return open;
}

} // namespace

bool LIB_OpenDesktopUrl(const QUrl& url)
{
    return opener()(url);
}

void LIB_SetDesktopUrlOpener(std::function<bool(const QUrl&)> open)
{
    opener() = std::move(open);
}
