#pragma once

#include <QUrl>
#include <functional>

// Hands an address to the desktop: a web address to the system's browser, a folder to its file
// manager. A test puts a recorder in its place, so that nothing opens on the machine.
bool LIB_OpenDesktopUrl(const QUrl& url);
void LIB_SetDesktopUrlOpener(std::function<bool(const QUrl&)> opener);
