#pragma once

class QWidget;

// Shows the print designer modally over `parent` with what the print hand-over holds
// (PrintHandover::instance()). Every list window prints through this one call.
void LIB_ShowPrintDesigner(QWidget* parent);
