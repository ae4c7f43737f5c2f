#include "frmFlexPrtCustom.h"

#include "frmFlexPrtNode.h"
#include "printtablemodel.h"
#include "startup/formhelpers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

frmFlexPrtCustom::frmFlexPrtCustom(const PrintTableModel& model, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFlexPrtCustom"));
    setWindowTitle(QStringLiteral("输出项设置"));
    resize(520, 420);
    auto* layout = new QHBoxLayout(this);
    grdItems = makeNamed<QTableWidget>(this, "grdItems", 0, 4);
    grdItems->setHorizontalHeaderLabels(
        {QStringLiteral("输出项"), QStringLiteral("列宽"), QStringLiteral("打印"), QStringLiteral("排序")});
    grdItems->horizontalHeader()->setStretchLastSection(true);
    grdItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdItems->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(grdItems, 1);
    auto* side = new QVBoxLayout;
    layout->addLayout(side);
    auto button = [this, side](const char* name, const QString& caption) {
        auto* b = makeNamed<QPushButton>(this, name, caption);
        side->addWidget(b);
        return b;
    };
    connect(button("cmdUp", QStringLiteral("上移")), &QPushButton::clicked, this,
            [this] { moveCurrent(-1); });
    connect(button("cmdDown", QStringLiteral("下移")), &QPushButton::clicked, this,
            [this] { moveCurrent(1); });
    connect(button("cmdDelete", QStringLiteral("删除")), &QPushButton::clicked, this,
            &frmFlexPrtCustom::deleteCurrent);
    connect(button("cmdMarc", QStringLiteral("自定义Marc子字段")), &QPushButton::clicked, this,
            &frmFlexPrtCustom::newMarcItem);
    side->addStretch();
    auto* ok = button("cmdOK", QStringLiteral("确定"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(button("cmdCancel", QStringLiteral("取消")), &QPushButton::clicked, this, &QDialog::reject);

    for (int c = 0; c < model.columnCount(); ++c) {
        if (model.isHiddenByCaller(c))
            m_locked.append(model.column(c));
        else
            addRow(model.column(c));
    }
}

void frmFlexPrtCustom::addRow(const PrintColumn& column)
{
    const int row = grdItems->rowCount();
    m_items.append(column);
    grdItems->insertRow(row);
    grdItems->setItem(row, 0, new QTableWidgetItem(column.heading));
    grdItems->setItem(row, 1, new QTableWidgetItem(QString::number(column.width)));
    auto* printed = new QTableWidgetItem;
    printed->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    printed->setCheckState(column.hidden ? Qt::Unchecked : Qt::Checked);
    grdItems->setItem(row, 2, printed);
    auto* sort = new QComboBox(grdItems);
    sort->addItems({QStringLiteral("不排序"), QStringLiteral("升序"), QStringLiteral("降序")});
    sort->setCurrentIndex(column.sortChoice);
    grdItems->setCellWidget(row, 3, sort);
}

QList<PrintColumn> frmFlexPrtCustom::columns() const
{
    QList<PrintColumn> columns;
    for (int row = 0; row < grdItems->rowCount(); ++row) {
        PrintColumn column = m_items.at(row);
        column.heading = grdItems->item(row, 0)->text();
        column.width = std::max(10, grdItems->item(row, 1)->text().toInt());
        column.hidden = grdItems->item(row, 2)->checkState() != Qt::Checked;
        column.sortChoice = qobject_cast<QComboBox*>(grdItems->cellWidget(row, 3))->currentIndex();
        columns.append(column);
    }
    return columns + m_locked;
}

void frmFlexPrtCustom::moveCurrent(int step)
{
    const int row = grdItems->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= grdItems->rowCount())
        return;
    const QList<PrintColumn> current = columns();
    QList<PrintColumn> items = current.mid(0, grdItems->rowCount());
    items.swapItemsAt(row, target);
    grdItems->setRowCount(0);
    m_items.clear();
    for (const PrintColumn& column : items)
        addRow(column);
    grdItems->setCurrentCell(target, 0);
}

void frmFlexPrtCustom::deleteCurrent()
{
    const int row = grdItems->currentRow();
    if (row < 0)
        return;
    grdItems->removeRow(row);
    m_items.removeAt(row);
}

void frmFlexPrtCustom::addMarcItem(const QString& heading, const QString& cnMarc, const QString& usMarc)
{
    PrintColumn column;
    column.heading = heading;
    column.cnMarc = cnMarc;
    column.usMarc = usMarc;
    addRow(column);
}

void frmFlexPrtCustom::newMarcItem()
{
    frmFlexPrtNode node(this);
    if (node.exec() == QDialog::Accepted)
        addMarcItem(node.heading(), node.cnMarc(), node.usMarc());
}
