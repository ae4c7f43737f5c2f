#include "statprint.h"

#include "print/printhandover.h"
#include "startup/environment.h"

void LIB_HandOverStatGrid(const StatHeading& heading, const QAbstractItemModel& grid)
{
    PrintHandover& handover = PrintHandover::instance();
    handover.reset(heading.title);
    handover.setHeadingLine(0, heading.title);
    handover.setHeadingLine(1, heading.locationLine);
    handover.setHeadingLine(2, heading.periodLine);
    handover.setHeadingLine(3, QStringLiteral("制表日期：") + heading.date);
    handover.setHeadingLine(4, QStringLiteral("制表人：") + heading.staff);
    handover.takeModel(grid);
}

void LIB_HandOverStatGrid(const QString& title, const QString& locationLine, const QString& periodLine,
                          const QAbstractItemModel& grid)
{
    LIB_HandOverStatGrid(
        StatHeading{title, locationLine, periodLine, LIB_GetEnv(1).toString(), LIB_GetEnv(4).toString()},
        grid);
}
