#pragma once

#include <QByteArray>
#include <QString>

// The file name a portrait is written to, chosen by its first two bytes: "BM" a bitmap, "GI" a
// GIF, anything else a JPEG.
QString readerPortraitFileName(const QByteArray& bytes);

// Fetches the reader's portrait from reader_portrait and writes its bytes to the program's TMP
// directory; `path` is then that file, or empty when the reader has no portrait (or it cannot be
// written): the picture shows the default picture. 0, or -1 when the query failed (error record
// filled; the caller reports it).
int LIB_LoadReaderPortrait(const QString& certId, QString& path);
