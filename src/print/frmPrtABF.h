#pragma once

#include "frmFlexPrint.h"

#include <QMap>

// The designer's twin that also prints the desk's slips (fine receipts, notices) from their
// templates under CFG/LT/ (slips.h).
class frmPrtABF : public frmFlexPrint
{
    Q_OBJECT

public:
    explicit frmPrtABF(QWidget* parent = nullptr);

    // Prints a slip of a kind with its data on a printer. Page count, or -1.
    static int printSlip(const QString& kind, const QMap<QString, QString>& data, QPrinter* printer);
    // Shows the slip in a preview from which the operator prints it.
    void previewSlip(const QString& kind, const QMap<QString, QString>& data);
};

// The call of the windows that print a slip ("超期罚款" receipts of the fine window, notices):
// a preview of the filled slip with the printer at hand. Without a display use
// LIB_PrintSlipToPdf (slips.h).
void LIB_PrintSlip(const QString& kind, const QMap<QString, QString>& data, QWidget* parent);
