#include "printtemplateapply.h"

#include "printmarccolumn.h"
#include "printtablemodel.h"
#include "printtemplates.h"

int LIB_ApplyPrintTemplate(PrintTableModel& model, PrintLayout& layout, const QString& cfgDirectory,
                           const QString& report)
{
    PrintLayout lines = layout;
    lines.labels = lines.labels.mid(0, 7);
    PrintTemplates::Template applied;
    if (!PrintTemplates::load(cfgDirectory, report, {model.originalColumns(), lines}, applied))
        return 0;
    layout = applied.layout;
    model.setColumns(applied.columns);
    int result = 1;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.column(c).isMarc() && LIB_FillMarcColumn(model, c) != 0) {
            result = -1;
            break;
        }
    model.applySortChoices();
    return result;
}
