#pragma once

#include "db/messages.h"

// The message presenter of a desk started without a visible screen (the offscreen or minimal
// platform): nobody could see or answer a box there, so each message is written to standard error
// as the box would show it, and the box's default button is taken as the answer.
class ConsolePresenter : public MessagePresenter
{
public:
    int show(const Box& box) override;

    // Installs it as the program's presenter.
    static void install();
    // Whether the running application's platform shows no windows to anyone.
    static bool screenIsInvisible();
};
