#pragma once

#include "messages.h"

// Shows the system's message boxes as application-modal QMessageBoxes and plays message sounds.
class MessageBoxPresenter : public MessagePresenter
{
public:
    int show(const Box& box) override;
    void beep() override;

    // Installs the presenter and the sound player for the running program.
    static void install();
};
