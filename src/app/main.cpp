// readdesk: the reading-room desk. Takes no arguments.
#include "db/database.h"
#include "desk/frmReadMain.h"
#include "info/infostartup.h"
#include "startup/deskstartup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    DeskStartup::prepareApplication();

    DeskStartup startup(&frmReadMain::createForStartup, LIB_InformationStartupLoads());
    if (!startup.run())
        return 1;
    const int exitCode = QApplication::exec();
    LIB_DB_Close();
    return exitCode;
}
