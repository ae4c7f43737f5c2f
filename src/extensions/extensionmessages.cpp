#include "extensionmessages.h"

int LIB_ShowTitledMsg(MessagePresenter::Icon icon, const QString& text, const QString& title,
                      MessagePresenter::Buttons buttons)
{
    MessagePresenter* presenter = LIB_MessagePresenter();
    if (!presenter)
        return 1;
    const bool question = buttons == MessagePresenter::Buttons::OkCancel;
    const int answer =
        presenter->show({icon, buttons, question, icon != MessagePresenter::Icon::Information, title, text});
    return question && answer != 1 ? 2 : 1;
}
