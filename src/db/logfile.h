#pragma once

#include <QDateTime>
#include <QString>

// Writes one line "yyyy-mm-dd hh:mm:ss;" + text to the day's log file in the LOG directory.
// mode 0 appends, mode 1 replaces the file's content. Failures are silent (-1).
int LIB_WriteLogFile(const QString& text, int mode = 0);

// The same with the moment given (the file and the line take their date and time from it).
int LIB_WriteLogFileAt(const QDateTime& moment, const QString& text, int mode = 0);
