#include "frmLendFine.h"

#include "finechargemodel.h"
#include "finereceipt.h"
#include "print/printdesigner.h"
#include "startup/desksettings.h"
#include "startup/formhelpers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

void frmLendFine::settleFines(DeskContext& desk, QWidget* parent)
{
    frmLendFine window(desk, parent);
    if (window.load(false))
        window.exec();
}

void frmLendFine::openFromMenu(DeskContext& desk, QWidget* parent)
{
    if (desk.fineReader.isEmpty() || DeskSettings::current().settleFines == 0)
        return;
    frmLendFine window(desk, parent);
    if (window.load(true))
        window.exec();
}

frmLendFine::frmLendFine(DeskContext& desk, QWidget* parent)
    : QDialog(parent), m_settlement(std::make_unique<FineSettlement>(desk))
{
    setObjectName(QStringLiteral("frmLendFine"));
    setWindowTitle(QStringLiteral("超期罚款"));
    resize(860, 460);

    auto* fraFine = new QGroupBox(QStringLiteral("欠款记录"), this);
    m_model = new FineChargeModel(this);
    spdFine = makeNamed<QTableView>(fraFine, "spdFine");
    spdFine->setModel(m_model);
    spdFine->setSelectionBehavior(QAbstractItemView::SelectRows);
    spdFine->setSelectionMode(QAbstractItemView::MultiSelection);
    spdFine->setEditTriggers(QAbstractItemView::NoEditTriggers);
    spdFine->horizontalHeader()->setStretchLastSection(true);
    (new QVBoxLayout(fraFine))->addWidget(spdFine);

    txtTotalFine = makeNamed<QLineEdit>(this, "txtTotalFine");
    txtAllowFine = makeNamed<QLineEdit>(this, "txtAllowFine");
    txtTotalFine->setReadOnly(true);
    txtAllowFine->setReadOnly(true);
    txtTrueFineExceed = makeNamed<QLineEdit>(this, "txtTrueFineExceed");
    txtBillNo = makeNamed<QLineEdit>(this, "txtBillNo");
    txtRemark = makeNamed<QLineEdit>(this, "txtRemark");
    cboFineType = makeNamed<QComboBox>(this, "cboFineType");
    cboFineType->addItems(LIB_FinePayModeNames());
    const int payMode = DeskSettings::current().payMode;
    cboFineType->setCurrentIndex(payMode >= 0 && payMode < cboFineType->count() ? payMode : 0);
    lblOB = makeNamed<QLabel>(this, "lblOB");

    auto* boxes = new QGridLayout;
    const auto place = [boxes](int row, int column, const QString& caption, QWidget* box) {
        boxes->addWidget(new QLabel(caption), row, column * 2);
        boxes->addWidget(box, row, column * 2 + 1);
    };
    place(0, 0, QStringLiteral("总欠款："), txtTotalFine);
    place(0, 1, QStringLiteral("可罚款："), txtAllowFine);
    place(0, 2, QStringLiteral("实罚款："), txtTrueFineExceed);
    place(1, 0, QStringLiteral("交款方式："), cboFineType);
    place(1, 1, QStringLiteral("预付款："), lblOB);
    place(1, 2, QStringLiteral("票据号："), txtBillNo);
    boxes->addWidget(new QLabel(QStringLiteral("说  明：")), 2, 0);
    boxes->addWidget(txtRemark, 2, 1, 1, 5);

    cmdOK = makeNamed<QPushButton>(this, "cmdOK", QStringLiteral("结算(&P)"));
    cmdCancelExceed = makeNamed<QPushButton>(this, "cmdCancelExceed", QStringLiteral("免罚(&C)"));
    cmdCancel = makeNamed<QPushButton>(this, "cmdCancel", QStringLiteral("取消(&C)"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {cmdOK, cmdCancelExceed, cmdCancel})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraFine, 1);
    layout->addLayout(boxes);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmLendFine::settle);
    connect(cmdCancelExceed, &QPushButton::clicked, this, &frmLendFine::waive);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLendFine::cancelWindow);
    connect(txtBillNo, &QLineEdit::editingFinished, this,
            [this] { txtBillNo->setText(txtBillNo->text().trimmed().toUpper()); });
    connect(spdFine->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { cmdCancelExceed->setEnabled(!selectedLines().isEmpty()); });
}

frmLendFine::~frmLendFine() = default;

bool frmLendFine::load(bool readOutstanding)
{
    if (!m_settlement->open(readOutstanding))
        return false;
    setWindowTitle(windowTitle() + QLatin1Char('(') + m_settlement->readerName() + QStringLiteral("：") +
                   m_settlement->certId() + QLatin1Char(')'));
    lblOB->setText(m_settlement->prepaidText());
    showCharges();
    return true;
}

void frmLendFine::showCharges()
{
    const FineSettlement::View& view = m_settlement->view();
    m_model->setCharges(m_settlement->charges().lines);
    txtTotalFine->setText(view.total);
    txtAllowFine->setText(view.settleable);
    if (view.proposes)
        txtTrueFineExceed->setText(view.proposal);
    txtRemark->setText(txtRemark->text() + view.remarkAddition);
    txtBillNo->clear();
    cmdOK->setEnabled(view.settleEnabled);
    txtTrueFineExceed->setReadOnly(!view.amountEditable);
    cmdCancelExceed->setEnabled(false);
}

void frmLendFine::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_focusedOnce) {
        m_focusedOnce = true;
        txtBillNo->setFocus();
    }
}

QList<int> frmLendFine::selectedLines() const
{
    QList<int> lines;
    for (const QModelIndex& row : spdFine->selectionModel()->selectedRows())
        lines << row.row();
    return lines;
}

FineSettlement::Form frmLendFine::form() const
{
    return {txtTrueFineExceed->text().trimmed(), txtBillNo->text().trimmed().toUpper(),
            cboFineType->currentIndex(), txtRemark->text()};
}

void frmLendFine::apply(const FineSettlement::Form& form, const FineSettlement::Reply& reply)
{
    txtTrueFineExceed->setText(form.amount);
    txtBillNo->setText(form.billNo);
    if (reply.printReceipt)
        LIB_ShowPrintDesigner(this);
    if (reply.close) {
        accept();
        return;
    }
    if (reply.reloaded)
        showCharges();
    if (reply.focus == FineSettlement::Focus::Amount)
        txtTrueFineExceed->setFocus();
    else if (reply.focus == FineSettlement::Focus::BillNo)
        txtBillNo->setFocus();
}

void frmLendFine::settle()
{
    FineSettlement::Form values = form();
    const FineSettlement::Reply reply = m_settlement->settle(values);
    apply(values, reply);
}

void frmLendFine::waive()
{
    FineSettlement::Form values = form();
    const FineSettlement::Reply reply = m_settlement->waive(values, selectedLines());
    apply(values, reply);
}

void frmLendFine::cancelWindow()
{
    m_settlement->cancel();
    reject();
}

void frmLendFine::done(int result)
{
    // Every way of closing ends here (the commands, Esc, the close button, the desk closing).
    m_settlement->close();
    QDialog::done(result);
}
