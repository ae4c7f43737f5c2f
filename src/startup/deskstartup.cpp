#include "deskstartup.h"

#include "applicationtitle.h"
#include "consolepresenter.h"
#include "db/messageboxpresenter.h"
#include "frmCircLogo.h"
#include "shutdown.h"
#include "startupsequence.h"

#include <QApplication>
#include <QWidget>

DeskStartup::DeskStartup(MainWindowFactory createMainWindow, StartupLoads loads)
    : m_createMainWindow(std::move(createMainWindow)), m_loads(std::move(loads))
{
}

DeskStartup::~DeskStartup() = default;

bool DeskStartup::run()
{
    m_main = m_createMainWindow(m_handover);
    StartupSequence sequence(m_instance, m_loads);
    sequence.announce();

    m_login = std::make_unique<frmCircLogo>(&m_handover);
    m_login->show();
    QApplication::processEvents();
    m_login->setCursor(Qt::WaitCursor);
    QObject::connect(&sequence, &StartupSequence::statusChanged, m_login.get(), &frmCircLogo::ShowStatus);

    if (!sequence.run()) {
        LIB_Shutdown(1);
        return false;
    }
    m_login->SetMode(frmCircLogo::loginLayout());
    m_login->ShowStatus(QStringLiteral("用户登录"));
    m_login->unsetCursor();
    return true;
}

void DeskStartup::prepareApplication()
{
    QApplication::setOrganizationName(QStringLiteral("Tavorn"));
    QApplication::setApplicationName(LIB_ApplicationTitle());
    if (ConsolePresenter::screenIsInvisible())
        ConsolePresenter::install();
    else
        MessageBoxPresenter::install();
}
