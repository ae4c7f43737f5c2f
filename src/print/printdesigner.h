#pragma once

class QString;
class QWidget;

// Shows the print designer modally over `parent` with what the print hand-over holds
// (PrintHandover::instance()). Every list window prints through this one call.
void LIB_ShowPrintDesigner(QWidget* parent);

// Prints what the hand-over holds, in the designer's layout, to a PDF file without showing a
// window (reports run from the command line). 0 on success, -1 when the file cannot be written.
int LIB_PrintHandoverToPdf(const QString& path);
