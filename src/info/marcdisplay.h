#pragma once

#include "marcrecord.h"

#include <QList>
#include <QStringList>

// The decoded record as the item window shows it: the leader first ("LDR"), then one row per
// field of tag, indicators and data, subfield delimiters shown as "$" (a control field has no
// indicators).
namespace MarcDisplay {
constexpr QChar shownDelimiter = QLatin1Char('$');
QList<QStringList> rows(const MarcRecord& record);
} // namespace MarcDisplay
