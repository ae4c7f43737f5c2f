#pragma once

#include "packageinstaller.h"

#include <QDialog>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// What the add-in and theme managers share: a tree of the installed extensions with a picture of
// the chosen one, a row of commands, and package unpacking that keeps the window responsive and
// can be stopped by closing it.
class ExtensionManagerDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ExtensionManagerDialog(const char* name, const QString& title, QWidget* parent = nullptr);

protected:
    // Unpacks and installs a package while the window keeps painting; closing the window meanwhile
    // asks whether to stop.
    PackageInstaller::Result unpack(PackageInstaller& installer, const QString& packageFile);
    QPushButton* addCommand(const char* name, const QString& caption);
    // A top-level item of the tree with the extension's lines below it.
    QTreeWidgetItem* addExtension(const QString& key, const QString& caption, const QPixmap& icon,
                                  const QStringList& lines);
    QTreeWidgetItem* selectedItem() const; // the top-level item of the current one
    QString selectedKey() const;
    void showPicture(const QPixmap& picture);
    void closeEvent(QCloseEvent* event) override;

    QTreeWidget* tree = nullptr;
    QLabel* picture = nullptr;

private:
    bool m_unpacking = false;
    bool m_stop = false;
    bool m_closeWhenDone = false;
    QHBoxLayout* m_commands = nullptr;
};
