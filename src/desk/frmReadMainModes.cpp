// The six reading modes: what each shows, which menu items it enables, its scan box and grid.
#include "copylendinggrid.h"
#include "frmReadMain.h"
#include "mainwindowgrid.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <array>

namespace {

using PerMode = std::array<bool, 6>; // modes 0..5
constexpr bool Y = true;
constexpr bool N = false;

struct ModeRow
{
    const char* name;
    PerMode in;
};

// Elements shown in each mode; every other element of the list is hidden.
const ModeRow shownElements[] = {
    {"imgBookInput", {Y, N, N, N, N, Y}},
    {"imgRedrInput", {N, Y, Y, Y, Y, N}},
    {"txtBokBar_code", {Y, N, N, N, N, N}},
    {"txtRedrBarcode", {N, Y, Y, Y, Y, N}},
    {"txtBar_code", {N, N, Y, N, N, N}},
    {"txtLendBookBarCode", {N, N, N, N, Y, N}},
    {"txtRetBookBarCode", {N, N, N, N, N, Y}},
    {"imgRead", {N, N, Y, N, N, N}},
    {"chkClear", {N, N, Y, N, N, N}},
    {"imgLend", {N, N, N, N, Y, N}},
    {"imgRet", {N, N, N, N, N, Y}},
    {"cmdCopyRet", {N, N, N, N, Y, Y}},
    {"vsBookInfo", {Y, N, N, N, N, N}},
    {"vsRedrInfo", {N, Y, Y, Y, Y, Y}},
    {"imgReader", {N, Y, Y, Y, Y, Y}},
    {"vsBook", {Y, N, N, N, N, N}},
    {"vsReader", {N, Y, N, Y, N, N}},
    {"vsRedrBook", {N, N, Y, N, N, N}},
    {"vsCopyLend", {N, N, N, N, Y, N}},
    {"vsCopyRet", {N, N, N, N, N, Y}},
    {"vsVolt", {N, N, N, N, N, N}}, // shown by the admission when violations refuse the reader
};

// Menu items enabled in each mode; items not listed keep their state.
const ModeRow enabledMenuItems[] = {
    {"mnuRedrInfo", {N, Y, Y, Y, Y, Y}},       {"mnuRedrValide", {N, Y, Y, Y, Y, Y}},
    {"mnuInfoSeekReader", {N, Y, Y, Y, Y, Y}}, {"mnuRedrStat", {N, N, Y, N, N, Y}},
    {"mnuInfoBookStat", {Y, N, Y, N, N, Y}},   {"mnuBookStat", {Y, N, Y, N, N, Y}},
    {"mnuReadUseRate", {Y, N, Y, N, N, Y}},    {"mnuInfoReaderStat", {N, Y, Y, N, N, Y}},
    {"mnuRedrCount", {N, Y, Y, N, N, Y}},      {"mnuInfoSeekBook", {Y, N, Y, N, Y, Y}},
    {"mnuDelrecord", {Y, Y, Y, N, N, Y}},      {"mnuInfoImport", {Y, Y, N, N, N, N}},
};

// The menu item and toolbar button checked in each mode (photocopy return checks the lending pair).
const char* const checkedMenuItem[] = {"mnuReadBook", "mnuReadReader", "mnuReadReaderBook",
                                       "mnuCheck",    "mnuCopyLend",   "mnuCopyLend"};
const char* const checkedToolButton[] = {"ReadBook", "ReadReader", "ReadReaderBook",
                                         "Check",    "CopyLend",   "CopyLend"};
const char* const modeMenuItems[] = {"mnuReadBook", "mnuReadReader", "mnuReadReaderBook",
                                     "mnuCheck",    "mnuCopyLend",   "mnuCopyRet"};

} // namespace

QLineEdit* frmReadMain::firstScanBox(DeskMode mode) const
{
    switch (mode) {
    case DeskMode::BookCounting:
        return txtBokBar_code;
    case DeskMode::CopyReturn:
        return txtRetBookBarCode;
    default:
        return txtRedrBarcode;
    }
}

QTableView* frmReadMain::resultGrid(DeskMode mode) const
{
    const QTableView* grids[] = {vsBook, vsReader, vsRedrBook, vsReader, vsCopyLend, vsCopyRet};
    return const_cast<QTableView*>(grids[int(mode)]);
}

void frmReadMain::enterMode(DeskMode mode)
{
    const int column = int(mode);
    tmrLendDelay->stop();
    m_desk.mode = mode;
    m_desk.readerAdmitted = false;

    for (const ModeRow& row : shownElements) {
        if (auto* element = findChild<QWidget*>(QLatin1String(row.name)))
            element->setVisible(row.in[column]);
    }
    for (const ModeRow& row : enabledMenuItems)
        m_menuItems.value(QLatin1String(row.name))->setEnabled(row.in[column]);
    syncModeChecks();

    if (mode == DeskMode::CopyLending)
        cmdCopyRet->setText(QStringLiteral("复印还书"));
    else if (mode == DeskMode::CopyReturn)
        cmdCopyRet->setText(QStringLiteral("复印外借"));
    for (QLineEdit* bookBox : {txtBar_code, txtLendBookBarCode}) {
        bookBox->clear();
        bookBox->setEnabled(false);
    }
    m_violations->clear();

    if (auto* grid = resultGrid(mode); grid == vsCopyLend)
        m_copyLoans->clear();
    else if (grid == vsCopyRet)
        m_copyReturns->clear();
    else
        static_cast<DeskGridModel*>(grid->model())->clear();

    QLineEdit* first = firstScanBox(mode);
    first->clear();
    first->setEnabled(true);
    first->setFocus();
    centralWidget()->updateGeometry();
}

void frmReadMain::syncModeChecks()
{
    const int column = int(m_desk.mode);
    for (const char* id : modeMenuItems)
        m_menuItems.value(QLatin1String(id))->setChecked(qstrcmp(id, checkedMenuItem[column]) == 0);
    for (auto it = m_toolButtons.cbegin(); it != m_toolButtons.cend(); ++it)
        it.value()->setChecked(it.key() == QLatin1String(checkedToolButton[column]));
}
