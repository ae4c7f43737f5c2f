#pragma once

#include <QString>

// The workstation's network name: $LT3_COMPUTERNAME when set (tests, several desks on one machine),
// otherwise the machine's host name.
QString LIB_ComputerName();
