#include "firstlogin.h"

#include "codes/codetables.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/logfile.h"
#include "db/messages.h"
#include "desksettings.h"

namespace FirstLogin {

int loadCodeTables()
{
    if (LIB_LoadCodeTables() == 0)
        return 0;
    // The loader leaves the failed query in the error record; keep its reason in the log.
    LIB_WriteLogFile(LIB_DB_Error().description);
    LIB_WriteLogFile(LIB_DB_CurrentStatement());
    LIB_DB_Error().clear();
    LIB_ShowMsg(QStringLiteral("系统初始化出错，启动失败！"));
    return -1;
}

int checkReadingRoom(const QString& workstation)
{
    LIB_DB_CurrentStatement() =
        QStringLiteral(" SELECT location_sort.location FROM location_lst, loca_comp_lst, location_sort ") +
        QStringLiteral("  WHERE loca_comp_lst.comp_name = ") + LIB_SQLQuote(workstation.toUpper()) +
        QStringLiteral("    AND location_lst.location = loca_comp_lst.location") +
        QStringLiteral("    AND location_sort.location = loca_comp_lst.location") +
        QStringLiteral("    AND location_sort.oper_type = ") + QStringLiteral("'3'");
    ResultTable rooms;
    const bool failed = LIB_DB_Select(LIB_DB_CurrentStatement(), rooms) != 0;
    if (failed)
        LIB_DB_ShowError();
    if (failed || rooms.recordCount() == 0) {
        LIB_ShowMsg(QStringLiteral("ILT003"));
        return -1;
    }
    return 0;
}

void readDeskSwitches()
{
    DeskSettings::current().readLoginSwitches();
}

} // namespace FirstLogin
