#pragma once

#include <functional>

// What the first login hands over to the desk, filled by the desk's main window: the start-up and
// the login window call it without knowing the desk's windows (they lie below them).
struct DeskHandover
{
    // The desk data the login prepares before the desk switches are read: the barcode read rules
    // and the local reader types file.
    std::function<void()> prepareDeskData;
    // The main window's initialisation (pInitialize) and showing it.
    std::function<int()> initialize;
    std::function<void()> show;
};
