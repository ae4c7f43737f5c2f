#pragma once

// Pieces the statistics windows share: the busy pointer of a run, the result grid's view and
// the location and template combos.

#include <QList>

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QLayout;
class QPushButton;
class QTableView;
class QWidget;

// The busy pointer for as long as the object lives.
class LIB_BusyPointer
{
public:
    LIB_BusyPointer();
    ~LIB_BusyPointer();
    LIB_BusyPointer(const LIB_BusyPointer&) = delete;
    LIB_BusyPointer& operator=(const LIB_BusyPointer&) = delete;
};

// A read-only grid view of a statistics model.
QTableView* LIB_MakeStatGridView(QWidget* parent, const char* name, QAbstractItemModel* model);

// "所有馆藏地" and the location names of the location table.
void LIB_FillLocationCombo(QComboBox* combo);
// The templates offered (names, codes as item data), then "[自定义]"; a failing read shows the
// database error and leaves only "[自定义]".
void LIB_FillTemplateCombo(QComboBox* combo);

// The result of a statistics window: the grid and the chart beside it.
QWidget* LIB_MakeStatResultArea(QWidget* parent, QWidget* grid, QWidget* chart);
// The line under a result that says where the figures came from when the read replica was
// passed over ("lblNotice"); empty otherwise.
QLabel* LIB_MakeStatNoticeLabel(QWidget* parent);
void LIB_ShowStatisticsNotice(QLabel* label);
// "[全部]" and the names of a code table (codes as item data).
void LIB_FillCodeCombo(QComboBox* combo, int codeTable);

// The buttons under a ranking or visit window: "统计", "打印" (off until something is listed),
// the window's own extra buttons, and "退出".
struct StatWindowButtons
{
    QPushButton* stat = nullptr;
    QPushButton* print = nullptr;
    QPushButton* exit = nullptr;
};
// Lays a ranking or visit window out: its conditions, the result, the notice line and the
// buttons after the help text (a stretch without one). The window connects the buttons.
StatWindowButtons LIB_LayOutStatWindow(QWidget* window, QLayout* conditions, QWidget* result, QLabel* notice,
                                       QWidget* help, const QList<QPushButton*>& extraButtons = {});
