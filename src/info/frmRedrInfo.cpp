#include "frmRedrInfo.h"

#include "db/errorreporter.h"
#include "frmRedrSearch.h"
#include "generalcert.h"
#include "infotablemodel.h"
#include "infowindowparts.h"
#include "readerinfotabs.h"
#include "readerpanel.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString lendHistoryKey = QStringLiteral("LendHistoryInfo");

frmRedrInfo::GeneralInfoOpener& generalInfoOpener()
{
    static frmRedrInfo::GeneralInfoOpener opener;
    return opener;
}

} // namespace

void frmRedrInfo::setGeneralInfoOpener(GeneralInfoOpener opener)
{
    generalInfoOpener() = std::move(opener);
}

frmRedrInfo::frmRedrInfo(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmRedrInfo"));
    setWindowTitle(QStringLiteral("读者信息查询"));
    setWindowFlag(Qt::Window);
    buildToolbar();

    auto* central = new QWidget(this);
    setCentralWidget(central);
    cboQuery = new QComboBox(central);
    cboQuery->setObjectName(QStringLiteral("cboQuery"));
    cboQuery->addItems({QStringLiteral("条码号"), QStringLiteral("证件号"), QStringLiteral("身份证号"),
                        QStringLiteral("姓名")});
    txtQuery = new QLineEdit(central);
    txtQuery->setObjectName(QStringLiteral("txtQuery"));
    connect(txtQuery, &QLineEdit::returnPressed, this, &frmRedrInfo::runQuery);
    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(new QLabel(QStringLiteral("查询："), central));
    queryRow->addWidget(cboQuery);
    queryRow->addWidget(txtQuery, 1);

    const QStringList labels = ReaderPanel::labels();
    vsRedr = new QTableWidget((int(labels.size()) + 1) / 2, 4, central);
    vsRedr->setObjectName(QStringLiteral("vsRedr"));
    vsRedr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vsRedr->setFocusPolicy(Qt::NoFocus);
    vsRedr->horizontalHeader()->hide();
    vsRedr->verticalHeader()->hide();
    for (int i = 0; i < labels.size(); ++i) {
        vsRedr->setItem(i / 2, (i % 2) * 2, new QTableWidgetItem(labels.at(i)));
        vsRedr->setItem(i / 2, (i % 2) * 2 + 1, new QTableWidgetItem);
    }
    for (int column = 0; column < 4; ++column)
        vsRedr->horizontalHeader()->setSectionResizeMode(column, column % 2 ? QHeaderView::Stretch
                                                                            : QHeaderView::ResizeToContents);
    vsRedr->setFixedHeight(vsRedr->rowCount() * vsRedr->verticalHeader()->defaultSectionSize() + 4);
    imgPortrait = new QLabel(central);
    imgPortrait->setObjectName(QStringLiteral("imgPortrait"));
    imgPortrait->setFixedSize(90, 120);
    imgPortrait->setScaledContents(true);
    auto* panelRow = new QHBoxLayout;
    panelRow->addWidget(vsRedr, 1);
    panelRow->addWidget(imgPortrait);

    tbsRedrInfo = InfoWindow::makeTabs("tbsRedrInfo", ReaderInfoTabs::tabs(), central);
    m_grid = new InfoTableModel(this);
    vsInfo = InfoWindow::makeGrid("vsInfo", m_grid, central);
    lblHint = new QLabel(QStringLiteral("按 Insert 键可显示借阅历史备份表中的借阅历史记录"), central);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->hide();
    connect(tbsRedrInfo, &QTabBar::currentChanged, this, [this] {
        m_backup = false;
        loadCurrentTab();
    });

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(queryRow);
    layout->addLayout(panelRow);
    layout->addWidget(tbsRedrInfo);
    layout->addWidget(vsInfo, 1);
    layout->addWidget(lblHint);
    resize(1000, 700);
    loadCurrentTab();
}

void frmRedrInfo::buildToolbar()
{
    auto* tbStandard = addToolBar(QStringLiteral("Standard"));
    tbStandard->setObjectName(QStringLiteral("tbStandard"));
    auto add = [this, tbStandard](const char* id, const QString& caption, void (frmRedrInfo::*run)()) {
        QAction* action = tbStandard->addAction(caption);
        action->setObjectName(QLatin1String(id));
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    add("Search", QStringLiteral("查询"), &frmRedrInfo::search);
    m_general = add("General", QStringLiteral("通用证"), &frmRedrInfo::openGeneral);
    m_general->setEnabled(false);
    add("Print", QStringLiteral("打印"), &frmRedrInfo::print);
    // The export routines live in the print designer (its 导出 menu): exporting opens it too.
    add("Export", QStringLiteral("导出"), &frmRedrInfo::print);
}

void frmRedrInfo::frmRedrInfoSet(const QString& certId)
{
    m_certId = certId;
    m_backup = false;
    if (ReaderPanel::load(certId, m_panel) != 0)
        LIB_DB_ShowError();
    for (int i = 0; i < m_panel.size(); ++i)
        vsRedr->item(i / 2, (i % 2) * 2 + 1)->setText(m_panel.at(i));
    QByteArray portrait;
    if (ReaderPanel::portrait(certId, portrait) != 0)
        LIB_DB_ShowError();
    InfoWindow::showPortrait(imgPortrait, portrait);
    m_general->setEnabled(!m_panel.value(1).isEmpty() && generalInfoOpener() && GeneralCert::isConfigured() &&
                          GeneralCert::isServiceReader(m_panel.value(11)));
    loadCurrentTab();
}

void frmRedrInfo::runQuery()
{
    frmRedrSearch::quickLookup(this, cboQuery->currentIndex(), txtQuery->text(),
                               [this](const QString& found) { frmRedrInfoSet(found); });
}

// "Search": the quick lookup on the query box, or the search window when the box is empty.
void frmRedrInfo::search()
{
    if (!txtQuery->text().trimmed().isEmpty()) {
        runQuery();
        return;
    }
    frmRedrSearch window(this);
    if (window.exec() == QDialog::Accepted)
        frmRedrInfoSet(window.chosenCertId());
}

void frmRedrInfo::openGeneral()
{
    if (generalInfoOpener() && !m_certId.isEmpty())
        generalInfoOpener()(this, m_certId, cardBarcode());
}

void frmRedrInfo::print()
{
    InfoWindow::printGrid(this, windowTitle(),
                          windowTitle() + QStringLiteral(" - ") +
                              tbsRedrInfo->tabText(tbsRedrInfo->currentIndex()),
                          QStringLiteral("读者：") + m_panel.value(2) + QLatin1Char(' ') + m_certId, *m_grid);
}

QString frmRedrInfo::currentTabKey() const
{
    return tbsRedrInfo->tabData(tbsRedrInfo->currentIndex()).toString();
}

void frmRedrInfo::loadCurrentTab()
{
    const InfoTab* tab = ReaderInfoTabs::tab(currentTabKey());
    lblHint->setVisible(currentTabKey() == lendHistoryKey);
    if (tab)
        InfoWindow::loadTab(*tab, m_certId, m_backup, *m_grid);
}

void frmRedrInfo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Insert && currentTabKey() == lendHistoryKey) {
        m_backup = true;
        loadCurrentTab();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
