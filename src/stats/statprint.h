#pragma once

// How a statistics grid goes to the print designer and into report files: the grid with its
// heading row, and the heading lines 0 the title, 1 the location line ("馆藏地：..."), 2 the
// period line ("统计时间：..."), 3 "制表日期：" with the server date, 4 "制表人：" with the staff number.

#include <QString>

class QAbstractItemModel;

struct StatHeading
{
    QString title;
    QString locationLine;
    QString periodLine;
    QString date;  // "yyyy-mm-dd"
    QString staff; // the operator's staff number
};

// Fills PrintHandover::instance() with the heading and the grid.
void LIB_HandOverStatGrid(const StatHeading& heading, const QAbstractItemModel& grid);
// The same, dated today and signed by the operator logged in at the desk.
void LIB_HandOverStatGrid(const QString& title, const QString& locationLine, const QString& periodLine,
                          const QAbstractItemModel& grid);
