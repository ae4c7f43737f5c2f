#include "statprint.h"

#include "print/printhandover.h"

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
