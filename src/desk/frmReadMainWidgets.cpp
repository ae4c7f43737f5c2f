// The desk window's controls: the scan boxes with their pictures, the two panels and the grids.
#include "admissionreader.h"
#include "copylendinggrid.h"
#include "frmReadMain.h"
#include "mainwindowgrid.h"
#include "recordingrows.h"
#include "startup/desksettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLabel* picture(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

const QStringList violationCaptions{
    QStringLiteral("处理状态"), QStringLiteral("处罚日期"), QStringLiteral("违章类型"),
    QStringLiteral("财产号"),   QStringLiteral("馆藏地"),   QStringLiteral("实际罚款额"),
    QStringLiteral("交款时间"), QStringLiteral("票据号"),   QStringLiteral("停借截止时间"),
    QStringLiteral("经手人"),   QStringLiteral("说明")};

const QStringList bookPanelLabels{QStringLiteral("题  名"), QStringLiteral("财产号"),
                                  QStringLiteral("索书号"), QStringLiteral("责任者"),
                                  QStringLiteral("ISBN号"), QStringLiteral("出版社")};

} // namespace

QLineEdit* frmReadMain::addScanBox(const char* name, const QString& placeholder)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QLatin1String(name));
    box->setPlaceholderText(placeholder);
    box->installEventFilter(this);
    return box;
}

void frmReadMain::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    imgBookInput = picture("imgBookInput", QStringLiteral("图书条码"), central);
    imgRedrInput = picture("imgRedrInput", QStringLiteral("读者条码"), central);
    imgRead = picture("imgRead", QStringLiteral("图书条码"), central);
    imgLend = picture("imgLend", QStringLiteral("外借图书"), central);
    imgRet = picture("imgRet", QStringLiteral("归还图书"), central);
    txtBokBar_code = addScanBox("txtBokBar_code", QStringLiteral("扫描图书条码"));
    txtRedrBarcode = addScanBox("txtRedrBarcode", QStringLiteral("扫描读者证条码"));
    txtBar_code = addScanBox("txtBar_code", QStringLiteral("扫描图书条码"));
    txtLendBookBarCode = addScanBox("txtLendBookBarCode", QStringLiteral("扫描外借图书条码"));
    txtRetBookBarCode = addScanBox("txtRetBookBarCode", QStringLiteral("扫描归还图书条码"));
    chkClear = new QCheckBox(QStringLiteral("换读者时清空列表"), central);
    chkClear->setObjectName(QStringLiteral("chkClear"));
    connect(chkClear, &QCheckBox::clicked, this, &frmReadMain::clearCheckBoxFocus);
    cmdCopyRet = new QPushButton(QStringLiteral("复印还书"), central);
    cmdCopyRet->setObjectName(QStringLiteral("cmdCopyRet"));
    cmdCopyRet->setAutoDefault(false);
    connect(cmdCopyRet, &QPushButton::clicked, this, &frmReadMain::copyToggle);

    tmrLendDelay = new QTimer(this);
    tmrLendDelay->setObjectName(QStringLiteral("tmrLendDelay"));
    connect(tmrLendDelay, &QTimer::timeout, this, [this] {
        tmrLendDelay->stop();
        enterMode(DeskMode::ReaderBookRegistration);
    });

    auto* scanRow = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(imgBookInput), static_cast<QWidget*>(imgRedrInput)})
        scanRow->addWidget(w);
    for (QLineEdit* box : {txtBokBar_code, txtRedrBarcode})
        scanRow->addWidget(box, 1);
    for (QWidget* w :
         {static_cast<QWidget*>(imgRead), static_cast<QWidget*>(imgLend), static_cast<QWidget*>(imgRet)})
        scanRow->addWidget(w);
    for (QLineEdit* box : {txtBar_code, txtLendBookBarCode, txtRetBookBarCode})
        scanRow->addWidget(box, 1);
    scanRow->addWidget(chkClear);
    scanRow->addWidget(cmdCopyRet);

    vsRedrInfo = DeskGrid::makePanel("vsRedrInfo", readerPanelLabels(), central);
    imgReader = picture("imgReader", QString(), central);
    imgReader->setFixedSize(90, 120);
    imgReader->setScaledContents(true);
    vsBookInfo = DeskGrid::makePanel("vsBookInfo", bookPanelLabels, central);
    auto* panelRow = new QHBoxLayout;
    panelRow->addWidget(vsRedrInfo, 1);
    panelRow->addWidget(imgReader);
    panelRow->addWidget(vsBookInfo, 1);

    m_readers = new DeskGridModel(AdmittedReaderRow::captions(), this);
    m_books = new DeskGridModel(CountedBookRow::captions(), this);
    m_readerBooks = new DeskGridModel(RegisteredBookRow::captions(), this);
    m_violations = new DeskGridModel(violationCaptions, this);
    m_copyLoans = CopyGridModel::forLending(this);
    m_copyReturns = CopyGridModel::forReturn(this);
    vsReader = DeskGrid::makeView("vsReader", m_readers, central);
    vsBook = DeskGrid::makeView("vsBook", m_books, central);
    vsRedrBook = DeskGrid::makeView("vsRedrBook", m_readerBooks, central);
    vsVolt = DeskGrid::makeView("vsVolt", m_violations, central);
    vsCopyLend = DeskGrid::makeView("vsCopyLend", m_copyLoans, central);
    vsCopyRet = DeskGrid::makeView("vsCopyRet", m_copyReturns, central);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(scanRow);
    layout->addLayout(panelRow);
    layout->addWidget(vsVolt, 1);
    for (QTableView* grid : {vsReader, vsBook, vsRedrBook, vsCopyLend, vsCopyRet})
        layout->addWidget(grid, 3);
}

void frmReadMain::applyGridFont()
{
    const QFont font = DeskSettings::current().displayFont();
    for (QTableView* grid : {vsReader, vsBook, vsRedrBook, vsVolt, vsCopyLend, vsCopyRet})
        grid->setFont(font);
    for (QTableWidget* panel : {vsRedrInfo, vsBookInfo})
        panel->setFont(font);
    m_copyLoans->setGridFont(font);
    m_copyReturns->setGridFont(font);
}
