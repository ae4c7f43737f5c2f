#include "infowindowparts.h"

#include "db/errorreporter.h"
#include "infotablemodel.h"
#include "print/printdesigner.h"
#include "print/printhandover.h"
#include "startup/environment.h"

#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTabBar>
#include <QTableView>

QTableView* InfoWindow::makeGrid(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setDefaultSectionSize(view->fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                                    14);
    view->horizontalHeader()->setStretchLastSection(true);
    // The row-number column of the information grids stays narrow.
    if (qobject_cast<InfoTableModel*>(model))
        view->horizontalHeader()->resizeSection(0, 40);
    return view;
}

QTabBar* InfoWindow::makeTabs(const char* name, const QList<InfoTab>& tabs, QWidget* parent)
{
    auto* bar = new QTabBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setExpanding(false);
    bar->setUsesScrollButtons(true);
    for (const InfoTab& tab : tabs)
        bar->setTabData(bar->addTab(tab.caption), tab.key);
    return bar;
}

void InfoWindow::loadTab(const InfoTab& tab, const QString& key, bool backup, InfoTableModel& model)
{
    QList<QStringList> rows;
    if (!key.isEmpty() && InfoTabs::load(tab, key, backup, rows) != 0) {
        LIB_DB_ShowError();
        rows.clear();
    }
    model.setTable(tab.captions, std::move(rows));
}

void InfoWindow::printGrid(QWidget* window, const QString& reportName, const QString& title,
                           const QString& condition, const QAbstractItemModel& model)
{
    PrintHandover& handover = PrintHandover::instance();
    handover.reset(reportName);
    handover.setHeadingLine(0, title);
    handover.setHeadingLine(1, condition);
    handover.setHeadingLine(4, QStringLiteral("制表日期：") + LIB_GetEnv(1).toString());
    handover.setHeadingLine(5, QStringLiteral("制表人：") + LIB_GetEnv(4).toString());
    handover.setHeadingLine(6, QStringLiteral("共 %1 条").arg(model.rowCount()));
    handover.takeModel(model);
    LIB_ShowPrintDesigner(window);
}

void InfoWindow::showPortrait(QLabel* picture, const QByteArray& bytes)
{
    QPixmap pixmap;
    if (!bytes.isEmpty())
        pixmap.loadFromData(bytes);
    picture->setPixmap(pixmap);
}
