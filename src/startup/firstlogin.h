#pragma once

#include <QString>

// What the desk prepares after its first successful login, before the main window opens. A re-login
// skips all of it. Each step that can fail shows its message; the caller then ends the program.
namespace FirstLogin {

// The code tables. -1 after "系统初始化出错，启动失败！".
int loadCodeTables();

// The workstation must serve a reading-room location. -1 after "ILT003" (preceded by the error
// reporter's message when the query itself fails).
int checkReadingRoom(const QString& workstation);

// The four desk switches (after the desk's own data, which the desk handover prepares).
void readDeskSwitches();

} // namespace FirstLogin
