#pragma once

#include <QString>

// The help command. The desk ships no help file: without one the command says that there is no
// help; with one it opens the file's contents page in the desktop's viewer, and reports a viewer
// that cannot open it.
void LIB_ShowHelpContents(const QString& helpFile = {});
