#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

// One column of the designer's table: where its texts come from and how it prints.
struct PrintColumn
{
    enum TextStyle { Flat = 0, Raised = 1, Sunken = 2 };
    enum SortChoice { NoSort = 0, Ascending = 1, Descending = 2 };

    int source = -1;    // column of the print table; -1 for a column the operator added
    QString heading;    // the column's title, printed above it
    QStringList values; // an added column's texts, one per print-table row (row 0 unused)
    QString cnMarc;     // a MARC column's field paths for CN MARC and US MARC records
    QString usMarc;
    int width = 100; // pixels at 96 dpi
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int textStyle = Flat;
    QString font;  // QFont::toString(); empty for the grid's font
    QString color; // "#rrggbb"; empty for black
    bool hidden = false;
    bool merged = false;
    int sortChoice = NoSort;

    bool isMarc() const { return source < 0 && !(cnMarc.isEmpty() && usMarc.isEmpty()); }
};
