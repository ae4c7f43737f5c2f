#pragma once

#include <QString>

class FloorSession;

// What filling the log query window's grid took.
struct GridFigures
{
    int rows = 0;
    int records = 0; // distinct MARC records read for the titles
    long statements = 0;
    QString from, to;
    double listMs = 0;         // the log statement with its rows, on the window's loader
    double titlesMs = 0;       // the MARC records, read in sets
    double totalMs = 0;        // "查询" to the rows painted in the grid
    double processorMs = 0;    // processor time of the whole process meanwhile (every thread)
    double longestStallMs = 0; // the longest stretch without a turn of the window's event loop
    double floorMs = 0;        // the same statements replayed bare, one after another
    double residentMb = 0;     // the process after the fill
    double peakMb = 0;         // the process's peak so far
    double cancelMs = -1;      // "取消" of a second query to the window free again
    bool cancelKeptRows = false;
    QString failure;
};

// Opens the log query window (frmLt3Log) and lists the newest `wantedRows` reader-and-book log
// rows the way an operator does: kind "读者图书方式", the rows' first and last second in the
// pickers, "查询"; then waits until the grid has painted them. With a floor, the statements the
// window's loader sent are replayed bare on the desk session's connection, and a second query is
// cancelled through the progress display halfway.
GridFigures fillReadingLogWindow(int wantedRows, FloorSession* floor);
