#include "frmTmpSetTemplate.h"

#include "codes/codetables.h"
#include "db/messages.h"
#include "startup/formhelpers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { ClassName, Scheme, ClassCode };

// The scheme column: a drop-down of the scheme names of the scheme code table.
class SchemeDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* combo = new QComboBox(parent);
        const ResultTable& schemes = LIB_CodeTable(CodeTable::Classifications);
        for (int row = 2; row < schemes.recordCount() + 2; ++row)
            combo->addItem(schemes.text(1, row));
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        combo->setCurrentIndex(std::max(0, combo->findText(index.data().toString())));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }
};

QString cellText(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

frmTmpSetTemplate::frmTmpSetTemplate(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTmpSetTemplate"));
    setWindowTitle(QStringLiteral("临时自定义分类模板"));
    grdTemplate = makeNamed<QTableWidget>(this, "grdTemplate", 0, 3);
    grdTemplate->setHorizontalHeaderLabels(
        {QStringLiteral("分类名称"), QStringLiteral("分类法"), QStringLiteral("分类代码")});
    grdTemplate->setItemDelegateForColumn(Scheme, new SchemeDelegate(grdTemplate));
    grdTemplate->horizontalHeader()->setStretchLastSection(true);
    grdTemplate->setColumnWidth(ClassName, 160);
    grdTemplate->setColumnWidth(Scheme, 180);
    // Clicking a row's header makes it the current row; leaving a row checks its pattern.
    connect(grdTemplate->verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int row) { grdTemplate->setCurrentCell(row, ClassName); });
    connect(grdTemplate, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (previous != row)
            leaveRow(previous);
        m_currentRow = row;
    });

    auto* add = makeNamed<QPushButton>(this, "cmdAddRow", QStringLiteral("增加行"));
    auto* remove = makeNamed<QPushButton>(this, "cmdDeleteRow", QStringLiteral("删除行"));
    connect(add, &QPushButton::clicked, this, &frmTmpSetTemplate::addRow);
    connect(remove, &QPushButton::clicked, this, &frmTmpSetTemplate::deleteRow);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmTmpSetTemplate::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmTmpSetTemplate::reject);

    auto* commands = new QHBoxLayout;
    commands->addWidget(add);
    commands->addWidget(remove);
    commands->addStretch();
    commands->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdTemplate, 1);
    layout->addLayout(commands);
    resize(600, 360);
    loadRows(OneOffTemplate::current().rows());
}

void frmTmpSetTemplate::loadRows(const QList<OneOffTemplate::Row>& rows)
{
    const QSignalBlocker quiet(grdTemplate);
    grdTemplate->setRowCount(0);
    for (const OneOffTemplate::Row& row : rows) {
        const int at = grdTemplate->rowCount();
        grdTemplate->insertRow(at);
        grdTemplate->setItem(at, ClassName, new QTableWidgetItem(row.className));
        grdTemplate->setItem(at, Scheme, new QTableWidgetItem(row.schemeName));
        grdTemplate->setItem(at, ClassCode, new QTableWidgetItem(row.classCode));
    }
    m_currentRow = rows.isEmpty() ? -1 : 0;
}

QList<OneOffTemplate::Row> frmTmpSetTemplate::rows() const
{
    QList<OneOffTemplate::Row> rows;
    for (int row = 0; row < grdTemplate->rowCount(); ++row)
        rows.append({cellText(grdTemplate, row, ClassName), cellText(grdTemplate, row, Scheme),
                     cellText(grdTemplate, row, ClassCode)});
    return rows;
}

void frmTmpSetTemplate::leaveRow(int row)
{
    if (row >= 0 && row < grdTemplate->rowCount() && cellText(grdTemplate, row, ClassCode).isEmpty())
        LIB_ShowMsg(QStringLiteral("E分类代码不能为空!"));
}

void frmTmpSetTemplate::addRow()
{
    // Directly below the current row; the rows below move down one.
    const int at = m_currentRow < 0 ? grdTemplate->rowCount() : m_currentRow + 1;
    const QSignalBlocker quiet(grdTemplate);
    grdTemplate->insertRow(at);
    for (int column = ClassName; column <= ClassCode; ++column)
        grdTemplate->setItem(at, column, new QTableWidgetItem);
    if (m_currentRow < 0) {
        m_currentRow = at;
        grdTemplate->setCurrentCell(at, ClassName);
    }
}

void frmTmpSetTemplate::deleteRow()
{
    if (m_currentRow < 0 || m_currentRow >= grdTemplate->rowCount())
        return;
    const QSignalBlocker quiet(grdTemplate);
    grdTemplate->removeRow(m_currentRow);
    m_currentRow = std::min(m_currentRow, grdTemplate->rowCount() - 1);
    if (m_currentRow >= 0)
        grdTemplate->setCurrentCell(m_currentRow, ClassName);
}

void frmTmpSetTemplate::accept()
{
    const QList<OneOffTemplate::Row> current = rows();
    const QString refusal = OneOffTemplate::refusal(current);
    if (!refusal.isEmpty()) {
        LIB_ShowMsg(QStringLiteral("E") + refusal);
        return;
    }
    OneOffTemplate::current().setRows(current);
    QDialog::accept();
}

void frmTmpSetTemplate::reject()
{
    OneOffTemplate::current().clear();
    loadRows({});
    QDialog::reject();
}
