// readdesk: the reading-room desk. Takes no arguments.
#include "db/database.h"
#include "db/messageboxpresenter.h"
#include "startup/applicationtitle.h"
#include "startup/consolepresenter.h"
#include "startup/deskstartup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavorn"));
    QApplication::setApplicationName(LIB_ApplicationTitle());
    // Without a visible screen nobody could answer a message box: messages then go to standard
    // error and take their default answer.
    if (ConsolePresenter::screenIsInvisible())
        ConsolePresenter::install();
    else
        MessageBoxPresenter::install();

    DeskStartup startup;
    if (!startup.run())
        return 1;
    const int exitCode = QApplication::exec();
    LIB_DB_Close();
    return exitCode;
}
