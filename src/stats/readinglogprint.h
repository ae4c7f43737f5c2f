#pragma once

#include "readinglogquery.h"

class ReadingLogModel;

// Hands the log grid to the print designer: the columns the kind shows, left to right, under
// the report "阅览日志" with its seven heading lines (the title with the kind, "制表日期：",
// "制表人：", "总计： n 条"). For the book logs the rows' MARC record numbers go along in a
// hidden last column, for the designer's MARC columns. Returns the number of rows; with none
// the hand-over is left as it was.
int handOverReadingLog(const ReadingLogModel& model, ReadingLogKind kind);
