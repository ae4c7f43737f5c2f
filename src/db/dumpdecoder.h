#pragma once

#include <QString>

// Decodes a value in the dump notation of the server's dump(value, 16) (orafce): "Typ=25 Len=7:
// 1c,0,0,0,e4,b8,ad", a header, a colon and the bytes in hexadecimal. The bytes are the value as
// the server keeps it: a length word of four bytes (the length times four, low byte first) or, for
// a short value read from a table, of one byte, then the text in the database's encoding, UTF-8.
// "NULL" and an empty value give an empty text.
//
// (A server that dumps big-endian UTF-16, as the system's first database did, is not read: this
// one stores UTF-8, and its dump shows the stored bytes.)
QString LIB_DecodeDump(const QString& dumped);
