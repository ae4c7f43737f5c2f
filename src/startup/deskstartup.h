#pragma once

#include "deskhandover.h"
#include "singleinstance.h"
#include "startupsequence.h"

#include <functional>
#include <memory>

class frmCircLogo;
class QWidget;

// The windows' side of the start-up: the hidden main window, the login window as splash with the
// start-up's status line, then the login layout waiting for the operator.
class DeskStartup
{
public:
    // Makes the desk's main window, hidden, and fills the handover that the first login calls.
    using MainWindowFactory = std::function<std::unique_ptr<QWidget>(DeskHandover& handover)>;

    DeskStartup(MainWindowFactory createMainWindow, StartupLoads loads);
    ~DeskStartup();

    // Names the application (settings are stored under them) and installs the message presenter:
    // real boxes, or, without a visible screen where nobody could answer a box, standard error
    // with each box's default answer.
    static void prepareApplication();

    // true when the login window waits for the operator. A failed step has ended the program through
    // LIB_Shutdown (false only where a test replaced its last step).
    bool run();

    QWidget* mainWindow() const { return m_main.get(); }
    frmCircLogo* loginWindow() const { return m_login.get(); }

private:
    SingleInstance m_instance;
    MainWindowFactory m_createMainWindow;
    StartupLoads m_loads;
    DeskHandover m_handover;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<frmCircLogo> m_login;
};
