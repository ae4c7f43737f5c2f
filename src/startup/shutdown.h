#pragma once

#include <functional>

// Closes the database session and ends the program at once, whatever windows are open. Windows are
// not asked to close. Every "close and end" of the start-up and the login goes through here.
void LIB_Shutdown(int exitCode = 0);

// Replaces the final step (ending the process). Tests install an action that records the exit code,
// so a failure path can be run inside the test program; the code after the LIB_Shutdown call then
// must not go on as if the desk were still running. An empty action restores the default.
void LIB_SetShutdownAction(std::function<void(int exitCode)> action);
