#pragma once

#include "db/messages.h"

#include <QString>

// A message box of the extensions, which carry titles of their own ("错误提示", "提示", "警告")
// rather than the system's. It goes through the program's presenter like every other box.
// Returns 1 for OK, 2 for Cancel.
int LIB_ShowTitledMsg(MessagePresenter::Icon icon, const QString& text, const QString& title,
                      MessagePresenter::Buttons buttons = MessagePresenter::Buttons::Ok);

// The two kinds the extensions use most.
inline void LIB_ShowErrorBox(const QString& text, const QString& title = QStringLiteral("错误提示"))
{
    LIB_ShowTitledMsg(MessagePresenter::Icon::Stop, text, title);
}
inline bool LIB_AskQuestion(const QString& text, const QString& title)
{
    return LIB_ShowTitledMsg(MessagePresenter::Icon::Question, text, title,
                             MessagePresenter::Buttons::OkCancel) == 1;
}
