#include "frmFindText.h"

#include "extensionmessages.h"
#include "gridtextsearch.h"
#include "helpcontents.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

template <typename T> T* named(QWidget* parent, const char* name, const QString& caption)
{
    auto* widget = new T(caption, parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The grid a widget belongs to (the widget itself, or the view whose viewport it is).
QTableView* gridOf(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (auto* grid = qobject_cast<QTableView*>(widget))
            return grid;
        if (widget->isWindow())
            break;
    }
    return nullptr;
}

QList<QTableView*> visibleGrids(QWidget* window)
{
    QList<QTableView*> grids;
    for (QTableView* grid : window->findChildren<QTableView*>()) {
        if (grid->isVisible() && grid->model() && grid->window() == window)
            grids.append(grid);
    }
    return grids;
}

} // namespace

frmFindText::frmFindText(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFindText"));
    setWindowTitle(QStringLiteral("查找文本"));
    cboFind = new QComboBox(this);
    cboFind->setObjectName(QStringLiteral("cboFind"));
    cboFind->setEditable(true);
    cboFind->setInsertPolicy(QComboBox::NoInsert);
    cboFind->setMinimumWidth(240);
    auto* caption = new QLabel(QStringLiteral("查找内容(&F)："), this);
    caption->setBuddy(cboFind);

    optAll = named<QRadioButton>(this, "optAll", QStringLiteral("所有窗体(&A)"));
    optGrid = named<QRadioButton>(this, "optGrid", QStringLiteral("当前列表(&G)"));
    optWindow = named<QRadioButton>(this, "optWindow", QStringLiteral("当前窗体(&W)"));
    optAll->setChecked(true);
    auto* scope = new QGroupBox(QStringLiteral("范围"), this);
    auto* scopeLayout = new QVBoxLayout(scope);
    for (QRadioButton* option : {optAll, optGrid, optWindow})
        scopeLayout->addWidget(option);

    chkWhole = named<QCheckBox>(this, "chkWhole", QStringLiteral("全字匹配(&O)"));
    chkCase = named<QCheckBox>(this, "chkCase", QStringLiteral("区分大小写(&S)"));
    optUp = named<QRadioButton>(this, "optUp", QStringLiteral("向前"));
    optDown = named<QRadioButton>(this, "optDown", QStringLiteral("向后"));
    optDown->setChecked(true);
    auto* direction = new QGroupBox(QStringLiteral("方向"), this);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(optUp);
    directionLayout->addWidget(optDown);

    cmdFindNext = named<QPushButton>(this, "cmdFindNext", QStringLiteral("查找下一个(&N)"));
    cmdCancel = named<QPushButton>(this, "cmdCancel", QStringLiteral("取消"));
    cmdHelp = named<QPushButton>(this, "cmdHelp", QStringLiteral("帮助(&H)"));
    cmdFindNext->setDefault(true);
    cmdFindNext->setEnabled(false);
    connect(cmdFindNext, &QPushButton::clicked, this, &frmFindText::findNext);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFindText::close);
    connect(cmdHelp, &QPushButton::clicked, this, [] { LIB_ShowHelpContents(); });
    connect(cboFind, &QComboBox::editTextChanged, this,
            [this](const QString& text) { cmdFindNext->setEnabled(!text.trimmed().isEmpty()); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(cboFind, 0, 1, 1, 2);
    grid->addWidget(scope, 1, 0, 2, 1);
    grid->addWidget(chkWhole, 1, 1);
    grid->addWidget(chkCase, 2, 1);
    grid->addWidget(direction, 3, 0, 1, 2);
    auto* commands = new QVBoxLayout;
    commands->addWidget(cmdFindNext);
    commands->addWidget(cmdCancel);
    commands->addWidget(cmdHelp);
    commands->addStretch();
    grid->addLayout(commands, 0, 3, 4, 1);
    setSearchWindow(nullptr);
}

void frmFindText::setSearchWindow(QWidget* window)
{
    m_window = window ? window->window() : nullptr;
    m_windowGrid = m_window ? gridOf(m_window->focusWidget()) : nullptr;
    optWindow->setEnabled(m_window);
    optGrid->setEnabled(m_windowGrid);
    if (!optWindow->isEnabled() || (optGrid->isChecked() && !optGrid->isEnabled()))
        optAll->setChecked(true);
    restart();
}

QList<QTableView*> frmFindText::gridsOfScope() const
{
    if (optGrid->isChecked())
        return m_windowGrid && m_windowGrid->isVisible() ? QList<QTableView*>{m_windowGrid}
                                                         : QList<QTableView*>{};
    if (optWindow->isChecked())
        return m_window ? visibleGrids(m_window) : QList<QTableView*>{};
    // Every open window, the one that opened the search first, the others by name.
    QWidgetList windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible() && !(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip))
            windows.append(w);
    }
    QWidget* first = parentWidget() ? parentWidget()->window() : nullptr;
    std::stable_sort(windows.begin(), windows.end(), [first](QWidget* a, QWidget* b) {
        if ((a == first) != (b == first))
            return a == first;
        return a->objectName() < b->objectName();
    });
    QList<QTableView*> grids;
    for (QWidget* w : std::as_const(windows))
        grids += visibleGrids(w);
    return grids;
}

void frmFindText::restart()
{
    m_lastText.clear();
    m_found = false;
    m_gridIndex = 0;
    m_cell = QPersistentModelIndex();
}

void frmFindText::rememberText(const QString& text)
{
    const int known = cboFind->findText(text);
    if (known == 0)
        return;
    if (known > 0)
        cboFind->removeItem(known);
    cboFind->insertItem(0, text);
    cboFind->setCurrentIndex(0);
}

void frmFindText::findNext()
{
    const QString text = cboFind->currentText().trimmed();
    if (text.isEmpty())
        return;
    const QList<QTableView*> grids = gridsOfScope();
    if (grids.isEmpty())
        return;
    QList<QPointer<QTableView>> scope(grids.cbegin(), grids.cend());
    if (text != m_lastText || scope != m_grids) {
        restart();
        m_grids = scope;
    }
    rememberText(text);
    if (searchFromCurrent(text))
        return;
    LIB_ShowTitledMsg(MessagePresenter::Icon::Exclamation,
                      m_found ? QStringLiteral("已搜索指定区域！") : QStringLiteral("未找到搜索文本！"),
                      QStringLiteral("提示"));
    restart();
}

bool frmFindText::searchFromCurrent(const QString& text)
{
    GridTextSearch::Options options;
    options.wholeCell = chkWhole->isChecked();
    options.caseSensitive = chkCase->isChecked();
    options.forward = optDown->isChecked();
    for (; m_gridIndex < m_grids.size(); ++m_gridIndex, m_cell = QPersistentModelIndex()) {
        QTableView* grid = m_grids.at(m_gridIndex);
        if (!grid)
            continue;
        const QModelIndex hit =
            GridTextSearch::findNext(*grid->model(), m_cell, text, options,
                                     [grid](int column) { return grid->isColumnHidden(column); });
        if (!hit.isValid())
            continue;
        grid->setCurrentIndex(hit);
        grid->selectionModel()->select(hit, QItemSelectionModel::ClearAndSelect);
        grid->scrollTo(hit);
        m_cell = hit;
        m_lastText = text;
        m_found = true;
        return true;
    }
    return false;
}
