#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The save dialogs of the print and export windows. An existing file is not confirmed here: the
// caller asks with its own coded message. Returns the chosen path, empty when cancelled.
struct SaveFileRequest
{
    QString title;
    QString directory;
    QStringList filters; // "文本文件 (*.txt)"
    QString defaultSuffix;
};
QString LIB_ChooseSaveFile(QWidget* parent, const SaveFileRequest& request, QString* chosenFilter = nullptr);

// Tests answer the save dialogs without showing them; an empty function restores the dialog.
using SaveFileChooser = std::function<QString(const SaveFileRequest& request, QString* chosenFilter)>;
void LIB_SetSaveFileChooser(SaveFileChooser chooser);
