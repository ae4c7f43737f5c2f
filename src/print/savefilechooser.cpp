#include "savefilechooser.h"

#include <QFileDialog>

namespace {
SaveFileChooser& installedChooser()
{
    static SaveFileChooser chooser;
    return chooser;
}
} // namespace

void LIB_SetSaveFileChooser(SaveFileChooser chooser)
{
    installedChooser() = std::move(chooser);
}

QString LIB_ChooseSaveFile(QWidget* parent, const SaveFileRequest& request, QString* chosenFilter)
{
    if (installedChooser())
        return installedChooser()(request, chosenFilter);
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}
