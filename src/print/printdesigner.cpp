#include "printdesigner.h"

#include "frmFlexPrint.h"
#include "printhandover.h"
#include "printlayout.h"
#include "printpages.h"
#include "printtablemodel.h"
#include "printtemplateapply.h"
#include "startup/environment.h"

#include <QPointer>

frmFlexPrint* LIB_PrintDesigner(QWidget* parent)
{
    // One designer for the session; it follows the window that shows it.
    static QPointer<frmFlexPrint> designer;
    if (!designer)
        designer = new frmFlexPrint(parent);
    else if (parent && designer->parentWidget() != parent)
        designer->setParent(parent, designer->windowFlags());
    const PrintHandover& handover = PrintHandover::instance();
    designer->setReportName(handover.reportName());
    designer->setMode(handover.mode());
    designer->initRawGrid();
    return designer;
}

void LIB_ShowPrintDesigner(QWidget* parent)
{
    LIB_PrintDesigner(parent)->exec();
}

int LIB_PrintHandoverToPdf(const QString& path)
{
    const PrintHandover& handover = PrintHandover::instance();
    PrintTableModel model;
    model.load(handover);
    PrintLayout layout = PrintLayout::fromHeadingLines(handover.headingLines());
    LIB_ApplyPrintTemplate(model, layout, LIB_GetEnv(14).toString(), handover.reportName());
    return LIB_PrintToPdf(model, layout, path);
}
