#pragma once

#include <QString>

// The texts of the progress display: the remaining time, (max − value) × elapsed / value,
// as "hh:mm:ss" ("00:00:00" before the first step), and the count line.
QString LIB_ProgressRemaining(qint64 minimum, qint64 maximum, qint64 value, double elapsedSeconds);
QString LIB_ProgressCountLine(qint64 maximum, qint64 value);
