#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <array>

class QPageLayout;

// One text above the table: the seven heading lines of the hand-over and any the operator
// inserted. Positions are pixels at 96 dpi from the top left of the heading area; a centred label
// stands in the middle of the page.
struct HeadingLabel
{
    QString text;
    QString font;  // QFont::toString(); empty for the designer's font
    QString color; // "#rrggbb"; empty for black
    bool hidden = false;
    bool centered = false;
    QPointF pos;
};

// The page: orientation (1 portrait, 2 landscape), paper size (Windows paper number, 9 = A4) and
// the margins in millimetres, kept as one record "orientation;paper;left;top;right;bottom".
struct PageSettings
{
    int orientation = 1;
    int paperSize = 9;
    double left = 15;
    double top = 15;
    double right = 15;
    double bottom = 15;

    QString record() const;
    static PageSettings fromRecord(const QString& record); // defaults for missing or bad fields
    QPageLayout pageLayout() const;
    void setPageLayout(const QPageLayout& layout);
};

// Everything of the designer's page besides the table's columns.
struct PrintLayout
{
    QList<HeadingLabel> labels; // 0-6 the heading lines, then inserted ones
    PageSettings page;
    bool gridLines = true;
    QString footerText; // printed at the foot of every page beside the page number

    // The default arrangement of the seven heading lines: the title centred in a large bold
    // font, the other lines below it, one a line.
    static PrintLayout fromHeadingLines(const std::array<QString, 7>& lines);
    // Height of the heading area in pixels at 96 dpi: below the lowest shown label.
    double headingHeight() const;
    QString labelText(int index) const; // empty for a hidden or missing label
};

// The font of a label or column: the stored description, or the designer's font.
class QFont;
QFont LIB_PrintFont(const QString& description, const QFont& fallback);
