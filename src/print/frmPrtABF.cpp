#include "frmPrtABF.h"

#include "slips.h"
#include "startup/environment.h"

#include <QPrintPreviewDialog>

frmPrtABF::frmPrtABF(QWidget* parent) : frmFlexPrint(parent)
{
    setObjectName(QStringLiteral("frmPrtABF"));
}

int frmPrtABF::printSlip(const QString& kind, const QMap<QString, QString>& data, QPrinter* printer)
{
    printer->setDocName(LIB_SlipKind(kind).title);
    return LIB_PrintSlipText(LIB_SlipText(kind, data, LIB_GetEnv(14).toString()), printer);
}

void frmPrtABF::previewSlip(const QString& kind, const QMap<QString, QString>& data)
{
    QPrintPreviewDialog dialog(printer(), this);
    dialog.setObjectName(QStringLiteral("dlgSlipPreview"));
    dialog.setWindowTitle(LIB_SlipKind(kind).title);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [&kind, &data](QPrinter* target) { printSlip(kind, data, target); });
    dialog.exec();
}

void LIB_PrintSlip(const QString& kind, const QMap<QString, QString>& data, QWidget* parent)
{
    frmPrtABF window(parent);
    window.previewSlip(kind, data);
}
