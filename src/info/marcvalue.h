#pragma once

#include "marcrecord.h"

#include <QString>

// The text a field path names in a record. The path is a ","-separated list of
// alternatives; the first that yields a non-empty text wins. An alternative is
//   "245"       the whole field after the indicators, subfield marks turned into blanks;
//   "001a"      a control field (tag up to 009): its whole text;
//   "4611200a"  in CN MARC, subfield a of the 200 field embedded (after "$1") in a 461 field;
//   "200a"      subfield a of the first 200 field that has one that is not empty.
QString LIB_GetMarcValue(const MarcRecord& record, const QString& path);
