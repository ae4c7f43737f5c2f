#pragma once

// Pieces the statistics windows share: the busy pointer of a run, the result grid's view and
// the location and template combos.

class QAbstractItemModel;
class QComboBox;
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
