#include "extensionmanagerdialog.h"

#include "extensionmessages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ExtensionManagerDialog::ExtensionManagerDialog(const char* name, const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    resize(640, 420);
    tree = new QTreeWidget(this);
    tree->setObjectName(QStringLiteral("tvwItems"));
    tree->setHeaderHidden(true);
    tree->setIconSize(QSize(32, 32));
    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgPicture"));
    picture->setFixedWidth(200);
    picture->setAlignment(Qt::AlignCenter);
    m_commands = new QHBoxLayout;
    m_commands->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(tree, 1);
    body->addWidget(picture);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(m_commands);
}

QPushButton* ExtensionManagerDialog::addCommand(const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    m_commands->addWidget(button);
    return button;
}

QTreeWidgetItem* ExtensionManagerDialog::addExtension(const QString& key, const QString& caption,
                                                      const QPixmap& icon, const QStringList& lines)
{
    auto* item = new QTreeWidgetItem(tree, {caption});
    item->setData(0, Qt::UserRole, key);
    if (!icon.isNull())
        item->setIcon(0, icon);
    for (const QString& line : lines) {
        if (!line.isEmpty())
            new QTreeWidgetItem(item, {line});
    }
    item->setExpanded(true);
    return item;
}

QTreeWidgetItem* ExtensionManagerDialog::selectedItem() const
{
    QTreeWidgetItem* item = tree->currentItem();
    while (item && item->parent())
        item = item->parent();
    return item;
}

QString ExtensionManagerDialog::selectedKey() const
{
    QTreeWidgetItem* item = selectedItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void ExtensionManagerDialog::showPicture(const QPixmap& image)
{
    picture->setPixmap(image.isNull() ? QPixmap()
                                      : image.scaled(picture->width(), picture->width(), Qt::KeepAspectRatio,
                                                     Qt::SmoothTransformation));
}

PackageInstaller::Result ExtensionManagerDialog::unpack(PackageInstaller& installer,
                                                        const QString& packageFile)
{
    // The window keeps painting and can be closed, but takes no other command meanwhile.
    const QList<QPushButton*> commands = findChildren<QPushButton*>();
    for (QPushButton* command : commands)
        command->setEnabled(false);
    m_unpacking = true;
    m_stop = false;
    installer.progress = [this](int, int) {
        QApplication::processEvents();
        return !m_stop;
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PackageInstaller::Result result = installer.install(packageFile);
    QApplication::restoreOverrideCursor();
    m_unpacking = false;
    for (QPushButton* command : commands)
        command->setEnabled(true);
    if (m_closeWhenDone)
        close();
    return result;
}

void ExtensionManagerDialog::closeEvent(QCloseEvent* event)
{
    if (!m_unpacking) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    if (LIB_ShowTitledMsg(MessagePresenter::Icon::Exclamation,
                          QStringLiteral("正在解压文件，是否中断此次操作？"), QStringLiteral("警告"),
                          MessagePresenter::Buttons::OkCancel) == 1) {
        m_stop = true;
        m_closeWhenDone = true;
    }
}
