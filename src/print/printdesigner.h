#pragma once

class QString;
class QWidget;
class frmFlexPrint;

// Shows the print designer modally over `parent` with what the print hand-over holds
// (PrintHandover::instance()). Every list window prints through this one call.
void LIB_ShowPrintDesigner(QWidget* parent);

// The session's one designer, loaded with the hand-over but not shown (tests, callers that set
// more before exec()).
frmFlexPrint* LIB_PrintDesigner(QWidget* parent);

// Prints what the hand-over holds, in the designer's layout (the report's saved template when
// there is one), to a PDF file without showing a window (reports run from the command line).
// 0 on success, -1 when the file cannot be written.
int LIB_PrintHandoverToPdf(const QString& path);
