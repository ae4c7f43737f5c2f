#include "shutdown.h"

#include "db/database.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::function<void(int)>& shutdownAction()
{
    static std::function<void(int)> action;
    return action;
}
} // namespace

void LIB_SetShutdownAction(std::function<void(int exitCode)> action)
{
    shutdownAction() = std::move(action);
}

void LIB_Shutdown(int exitCode)
{
    LIB_DB_Close();
    if (shutdownAction()) {
        shutdownAction()(exitCode);
        return;
    }
    // Ending at once: no event loop, no window close events, no static destructors that could
    // touch Qt objects the application still owns. The log is written and closed line by line.
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
