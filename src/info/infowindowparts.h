#pragma once

// What the reader and item windows share: their grids, the tab bar with a grid below it, and
// printing a grid through the print designer.

#include "infotab.h"

#include <QList>
#include <QString>
#include <QStringList>

class InfoTableModel;
class QAbstractItemModel;
class QLabel;
class QTabBar;
class QTableView;
class QWidget;

namespace InfoWindow {

// A read-only, row-selecting grid named `name` over `model`.
QTableView* makeGrid(const char* name, QAbstractItemModel* model, QWidget* parent);

// The tab bar `tbsRedrInfo`/`tbsBookInfo`: one tab per definition, its key as the tab's data.
QTabBar* makeTabs(const char* name, const QList<InfoTab>& tabs, QWidget* parent);

// Loads a tab into the grid's model for a key; a failed statement is reported and leaves the grid
// empty. An empty key empties the grid.
void loadTab(const InfoTab& tab, const QString& key, bool backup, InfoTableModel& model);

// Hands a grid to the print designer: the report name, the title line, one condition line, the
// date and operator lines and the row count, then shows the designer over `window`.
void printGrid(QWidget* window, const QString& reportName, const QString& title, const QString& condition,
               const QAbstractItemModel& model);

// Shows a portrait's bytes in the picture (empty bytes: no picture). Pictures are read from the
// bytes themselves, never through a file, so a new reader never shows an old picture.
void showPortrait(QLabel* picture, const QByteArray& bytes);

} // namespace InfoWindow
