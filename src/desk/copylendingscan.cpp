#include "copylendingscan.h"

CopyScan LIB_CopyLendScan(const QString& boxText, const QString& endReaderCode, const QString& copyReturnCode)
{
    const QString code = boxText.trimmed().toUpper();
    if (code.isEmpty())
        return {CopyScanAction::RestartLending, code};
    if (!endReaderCode.isEmpty() && code == endReaderCode)
        return {CopyScanAction::RestartLending, code};
    if (!copyReturnCode.isEmpty() && code == copyReturnCode)
        return {CopyScanAction::SwitchToReturn, code};
    return {CopyScanAction::Lend, code};
}

CopyScan LIB_CopyReturnScan(const QString& boxText, const QString& copyReturnCode)
{
    const QString code = boxText.trimmed().toUpper();
    if (code.isEmpty())
        return {CopyScanAction::Nothing, code};
    if (!copyReturnCode.isEmpty() && code == copyReturnCode)
        return {CopyScanAction::LeaveReturn, code};
    return {CopyScanAction::Return, code};
}
