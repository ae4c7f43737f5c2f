#pragma once

#include <QDialog>
#include <QList>
#include <QModelIndex>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QTableView;

// "查找文本": finds text in the cells of the grids of the open windows, of one window, or of that
// window's current grid. Each "查找下一个" selects the next hit; after the last grid it says whether
// anything was found and starts again from the beginning.
class frmFindText : public QDialog
{
    Q_OBJECT
public:
    explicit frmFindText(QWidget* parent = nullptr);

    // The window to search in; none enables only "所有窗体". With a window, "当前窗体" is enabled,
    // and "当前列表" when the window's active control is a grid.
    void setSearchWindow(QWidget* window);

    void findNext();

private:
    QList<QTableView*> gridsOfScope() const;
    bool searchFromCurrent(const QString& text);
    void restart();
    void rememberText(const QString& text);

    QPointer<QWidget> m_window;
    QPointer<QTableView> m_windowGrid;
    // The find state: the text last searched, whether it was found since it was entered, the
    // grids of the scope, the grid being searched and its current cell.
    QString m_lastText;
    bool m_found = false;
    QList<QPointer<QTableView>> m_grids;
    int m_gridIndex = 0;
    QPersistentModelIndex m_cell;

    QComboBox* cboFind = nullptr;
    QRadioButton* optAll = nullptr;
    QRadioButton* optGrid = nullptr;
    QRadioButton* optWindow = nullptr;
    QCheckBox* chkWhole = nullptr;
    QCheckBox* chkCase = nullptr;
    QRadioButton* optUp = nullptr;
    QRadioButton* optDown = nullptr;
    QPushButton* cmdFindNext = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
};
