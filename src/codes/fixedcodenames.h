#pragma once

// Names of codes that the program itself defines (not kept on the server). Codes compare
// exactly: "c" and "C" are different codes.

#include <QString>

QString LIB_LendFlagName(const QString& code);    // unknown: the code itself
QString LIB_ItemStatusName(const QString& code);  // unknown: empty
bool LIB_IsShelfStatus(const QString& code);      // the statuses of an item on the shelf
QString LIB_ProcessName(const QString& code);     // unknown: empty
QString LIB_MarcTypeName(const QString& code);    // unknown: empty
QString LIB_OrderStatusName(const QString& code); // unknown: empty
