#include "computername.h"

#include <QSysInfo>

QString LIB_ComputerName()
{
    const QString configured = qEnvironmentVariable("LT3_COMPUTERNAME");
    return configured.isEmpty() ? QSysInfo::machineHostName() : configured;
}
