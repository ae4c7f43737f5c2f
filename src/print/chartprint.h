#pragma once

// A statistics chart printed together with the table of the print hand-over: the heading lines,
// the table and the chart below it.

class QImage;
class QString;
class QWidget;

// Shows the print preview of the hand-over's heading lines and table with the chart image.
void LIB_ShowChartPrintPreview(QWidget* parent, const QImage& chart);

// The same page(s) into a PDF file without a window. 0, or -1 when the file cannot be written.
int LIB_PrintChartToPdf(const QString& path, const QImage& chart);
