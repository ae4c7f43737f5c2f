#include "frmBookInfo.h"

#include "bookhitsmodel.h"
#include "bookinfotabs.h"
#include "booksearch.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "frmMarcNoSeek.h"
#include "infotablemodel.h"
#include "infowindowparts.h"
#include "marcsearchpaths.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString lendHistoryKey = QStringLiteral("LendHistory");
}

frmBookInfo::frmBookInfo(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmBookInfo"));
    setWindowTitle(QStringLiteral("书刊信息查询"));
    setWindowFlag(Qt::Window);
    buildToolbar();

    auto* central = new QWidget(this);
    setCentralWidget(central);
    cboPath = new QComboBox(central);
    cboPath->setObjectName(QStringLiteral("cboPath"));
    for (const MarcSearchPath& path : MarcSearchPaths::instance().paths())
        cboPath->addItem(path.caption, path.group);
    cboOper = new QComboBox(central);
    cboOper->setObjectName(QStringLiteral("cboOper"));
    cboOper->addItems(BookSearch::operatorCaptions());
    txtQuery = new QLineEdit(central);
    txtQuery->setObjectName(QStringLiteral("txtQuery"));
    connect(txtQuery, &QLineEdit::returnPressed, this, &frmBookInfo::runQuery);
    lblRecNum = new QLabel(central);
    lblRecNum->setObjectName(QStringLiteral("lblRecNum"));
    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(cboPath);
    queryRow->addWidget(cboOper);
    queryRow->addWidget(txtQuery, 1);
    queryRow->addWidget(lblRecNum);

    m_hits = new BookHitsModel(BookHitsModel::Layout::ItemList, this);
    vsBookLst = InfoWindow::makeGrid("vsBookLst", m_hits, central);
    vsBookLst->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(vsBookLst->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showRow(current.row()); });

    auto* tabsPart = new QWidget(central);
    tbsBookInfo = InfoWindow::makeTabs("tbsBookInfo", BookInfoTabs::tabs(), tabsPart);
    m_grid = new InfoTableModel(this);
    vsInfo = InfoWindow::makeGrid("vsInfo", m_grid, tabsPart);
    lblHint = new QLabel(QStringLiteral("按 Insert 键可显示借阅历史备份表中的借阅历史记录"), tabsPart);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->hide();
    auto* tabsLayout = new QVBoxLayout(tabsPart);
    tabsLayout->setContentsMargins(0, 0, 0, 0);
    tabsLayout->addWidget(tbsBookInfo);
    tabsLayout->addWidget(vsInfo, 1);
    tabsLayout->addWidget(lblHint);
    connect(tbsBookInfo, &QTabBar::currentChanged, this, [this] {
        m_backup = false;
        loadCurrentTab();
    });

    auto* split = new QSplitter(Qt::Vertical, central);
    split->addWidget(vsBookLst);
    split->addWidget(tabsPart);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(queryRow);
    layout->addWidget(split, 1);
    resize(1000, 700);
    loadCurrentTab();
}

void frmBookInfo::buildToolbar()
{
    auto* tbStandard = addToolBar(QStringLiteral("Standard"));
    tbStandard->setObjectName(QStringLiteral("tbStandard"));
    auto add = [this, tbStandard](const char* id, const QString& caption, void (frmBookInfo::*run)()) {
        QAction* action = tbStandard->addAction(caption);
        action->setObjectName(QLatin1String(id));
        connect(action, &QAction::triggered, this, run);
    };
    add("Search", QStringLiteral("图书检索"), &frmBookInfo::openBookSearch);
    add("Print", QStringLiteral("打印"), &frmBookInfo::print);
    // The export routines live in the print designer (its 导出 menu): exporting opens it too.
    add("Export", QStringLiteral("导出"), &frmBookInfo::print);
}

void frmBookInfo::runQuery()
{
    const BookSearch::Condition condition{cboPath->currentData().toString(),
                                          BookSearch::Operator(cboOper->currentIndex()),
                                          txtQuery->text().trimmed()};
    const QString statement = BookSearch::singleStatement(condition, LIB_DB_SchemaFlags().longMarc);
    if (statement.isEmpty())
        return;
    QStringList found;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int status = BookSearch::find(statement, found);
    QApplication::restoreOverrideCursor();
    if (status != 0) {
        LIB_DB_ShowError();
        found.clear();
    }
    listHits(found);
}

void frmBookInfo::openBookSearch()
{
    frmMarcNoSeek search(this);
    if (search.exec() == QDialog::Accepted)
        showMarcRecord(search.chosenMarcRecNo());
}

void frmBookInfo::showMarcRecord(const QString& marcRecNo)
{
    listHits(marcRecNo.isEmpty() ? QStringList() : QStringList{marcRecNo});
}

void frmBookInfo::showItem(const QString& propNo)
{
    listItem(BookSearch::itemStatement(propNo));
}

void frmBookInfo::showItemBarcode(const QString& barcode)
{
    listItem(BookSearch::itemBarcodeStatement(barcode));
}

void frmBookInfo::listItem(const QString& statement)
{
    QStringList found;
    if (BookSearch::find(statement, found) != 0) {
        LIB_DB_ShowError();
        found.clear();
    }
    found.removeAll(QString());
    listHits(found);
}

// A list of one title shows that title at once; a longer list waits for the operator's choice.
void frmBookInfo::listHits(const QStringList& marcRecNos)
{
    if (m_hits->setHits(marcRecNos) != 0) {
        LIB_DB_ShowError();
        m_hits->clear();
    }
    lblRecNum->setText(QStringLiteral("命中 %1 条").arg(m_hits->hitCount()));
    showRow(-1);
    if (m_hits->hitCount() == 1)
        vsBookLst->setCurrentIndex(m_hits->index(0, 0));
}

void frmBookInfo::showRow(int row)
{
    m_marcRecNo = m_hits->marcRecNo(row);
    m_backup = false;
    loadCurrentTab();
}

void frmBookInfo::print()
{
    InfoWindow::printGrid(
        this, windowTitle(),
        windowTitle() + QStringLiteral(" - ") + tbsBookInfo->tabText(tbsBookInfo->currentIndex()),
        QStringLiteral("题名：") + m_hits->cells(vsBookLst->currentIndex().row()).value(0), *m_grid);
}

QString frmBookInfo::currentTabKey() const
{
    return tbsBookInfo->tabData(tbsBookInfo->currentIndex()).toString();
}

void frmBookInfo::loadCurrentTab()
{
    lblHint->setVisible(currentTabKey() == lendHistoryKey);
    if (const InfoTab* tab = BookInfoTabs::tab(currentTabKey()))
        InfoWindow::loadTab(*tab, m_marcRecNo, m_backup, *m_grid);
}

void frmBookInfo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Insert && currentTabKey() == lendHistoryKey) {
        m_backup = true;
        loadCurrentTab();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
