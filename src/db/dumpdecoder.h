#pragma once

#include <QString>

// Decodes a value in the server's dump notation ("Typ=1 Len=4: 0,41,0,42"): the bytes after the
// colon are hexadecimal and form big-endian UTF-16 code units; an odd last byte is a high byte.
QString LIB_DecodeDump(const QString& dumped);
