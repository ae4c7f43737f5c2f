#include "addinmenumerge.h"

#include "addinscollection.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

bool isTrue(const QString& value)
{
    return value.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool commandExists(QWidget* window, const QString& id)
{
    return id.isEmpty() || window->findChild<QAction*>(id) || window->findChild<QMenu*>(id);
}

// The menu a path names below its key ("mnuTool", or "Standard\dropId": the last part counts);
// the bar itself when the path names nothing below the key or names the bar.
QWidget* parentFor(const cExtension& extension, const QString& key, QWidget* bar)
{
    const QStringList below = extension.GetChildPathKey(key).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const QString menu = below.isEmpty() ? QString() : below.last();
    if (menu.isEmpty() || menu == bar->objectName())
        return bar;
    return bar->window()->findChild<QMenu*>(menu);
}

// Places the item's command in its parent: after the command named by insertafter, else before the
// one named by insertbefore, else at the end.
void place(QWidget* parent, QAction* action, const cExtenItem& item)
{
    const QList<QAction*> actions = parent->actions();
    auto position = [&actions](const QString& id) -> qsizetype {
        for (qsizetype i = 0; i < actions.size(); ++i) {
            if (!id.isEmpty() && actions.at(i)->objectName() == id)
                return i;
        }
        return -1;
    };
    const qsizetype after = position(item.GetAttributeValue(QStringLiteral("insertafter")));
    const qsizetype before = position(item.GetAttributeValue(QStringLiteral("insertbefore")));
    if (after >= 0)
        parent->insertAction(actions.value(after + 1, nullptr), action);
    else if (before >= 0)
        parent->insertAction(actions.at(before), action);
    else
        parent->addAction(action);
}

template <typename AddCommand>
void merge(const cAddinsCollection& addins, const QString& path, const QString& key, const QString& itemName,
           QWidget* bar, AddCommand addCommand)
{
    for (const cExtension* extension : addins.GetExtensByPath(path)) {
        QWidget* parent = parentFor(*extension, key, bar);
        if (!parent)
            continue;
        for (const cExtenItem& item : extension->Items) {
            const QString id = item.GetAttributeValue(QStringLiteral("id"));
            if (item.Name.compare(itemName, Qt::CaseInsensitive) != 0 || commandExists(bar->window(), id))
                continue;
            addCommand(parent, item, id);
        }
    }
}

} // namespace

void mergeAddinMenuItems(const cAddinsCollection& addins, QMenuBar* menuBar,
                         const std::function<void(const QString& id)>& command)
{
    merge(addins, AddinPaths::mainMenu, AddinPaths::mainMenuKey, AddinPaths::menuItem, menuBar,
          [&command](QWidget* parent, const cExtenItem& item, const QString& id) {
              const QString label = item.GetAttributeValue(QStringLiteral("label"));
              QAction* action = nullptr;
              if (isTrue(item.GetAttributeValue(QStringLiteral("menu")))) {
                  auto* menu = new QMenu(label, parent);
                  menu->setObjectName(id);
                  action = menu->menuAction();
              } else {
                  action = new QAction(label, parent);
                  QObject::connect(action, &QAction::triggered, action, [command, id] { command(id); });
              }
              action->setObjectName(id);
              place(parent, action, item);
          });
}

void mergeAddinToolbarItems(const cAddinsCollection& addins, QToolBar* toolbar,
                            const std::function<void(const QString& id)>& command)
{
    merge(addins, AddinPaths::toolbar, AddinPaths::toolbarKey, AddinPaths::commandItem, toolbar,
          [&command, toolbar](QWidget* parent, const cExtenItem& item, const QString& id) {
              auto* action = new QAction(item.GetAttributeValue(QStringLiteral("label")), parent);
              action->setObjectName(id);
              action->setToolTip(action->text());
              QObject::connect(action, &QAction::triggered, action, [command, id] { command(id); });
              if (isTrue(item.GetAttributeValue(QStringLiteral("drop")))) {
                  auto* menu = new QMenu(parent);
                  menu->setObjectName(id);
                  action->setMenu(menu);
              }
              place(parent, action, item);
              if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action))) {
                  if (action->menu())
                      button->setPopupMode(QToolButton::MenuButtonPopup);
                  if (isTrue(item.GetAttributeValue(QStringLiteral("showcaption"))))
                      button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
              }
          });
}
