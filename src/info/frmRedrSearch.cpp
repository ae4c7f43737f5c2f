#include "frmRedrSearch.h"

#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "readerlookup.h"
#include "readersearchmodel.h"
#include "readersearchquery.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

frmRedrSearch::frmRedrSearch(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRedrSearch"));
    setWindowTitle(QStringLiteral("读者通用查询"));

    auto* options = new QGroupBox(QStringLiteral("查询方式"), this);
    auto* optionRow = new QHBoxLayout(options);
    const char* optionCaptions[] = {"条码号区间", "证件号区间", "失效时间区间", "组合"};
    auto* kinds = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        optSel[i] = new QRadioButton(QString::fromUtf8(optionCaptions[i]), options);
        optSel[i]->setObjectName(QStringLiteral("optSel%1").arg(i));
        kinds->addButton(optSel[i]);
        optionRow->addWidget(optSel[i]);
    }
    optSel[ReaderSearchCriteria::Combined]->setChecked(true);
    auto* matches = new QButtonGroup(this);
    optPrefix = named(new QRadioButton(QStringLiteral("前方匹配"), options), "optPrefix");
    optExact = named(new QRadioButton(QStringLiteral("完全匹配"), options), "optExact");
    matches->addButton(optPrefix);
    matches->addButton(optExact);
    optPrefix->setChecked(true);
    optionRow->addStretch();
    optionRow->addWidget(optPrefix);
    optionRow->addWidget(optExact);

    txtFrom = named(new QLineEdit(this), "txtFrom");
    txtTo = named(new QLineEdit(this), "txtTo");
    dtpFrom = named(new QDateEdit(QDate::currentDate().addMonths(-1), this), "dtpFrom");
    dtpTo = named(new QDateEdit(QDate::currentDate(), this), "dtpTo");
    for (QDateEdit* date : {dtpFrom, dtpTo}) {
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        date->setCalendarPopup(true);
    }
    auto* ranges = new QGridLayout;
    ranges->addWidget(new QLabel(QStringLiteral("起 始："), this), 0, 0);
    ranges->addWidget(txtFrom, 0, 1);
    ranges->addWidget(new QLabel(QStringLiteral("截 至："), this), 0, 2);
    ranges->addWidget(txtTo, 0, 3);
    ranges->addWidget(dtpFrom, 1, 1);
    ranges->addWidget(dtpTo, 1, 3);

    auto* conditions = new QGroupBox(QStringLiteral("检 索 条 件"), this);
    spdRedrQuery = named(new QTableWidget(ConditionRows, 2, conditions), "spdRedrQuery");
    buildConditionGrid();
    (new QVBoxLayout(conditions))->addWidget(spdRedrQuery);

    auto* cmdQuery = button("cmdQuery", QStringLiteral("查询(&Q)"), this);
    m_results = new ReaderSearchModel(this);
    spdQueryResult = named(new QTableView(this), "spdQueryResult");
    spdQueryResult->setModel(m_results);
    spdQueryResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    spdQueryResult->setSelectionBehavior(QAbstractItemView::SelectRows);
    spdQueryResult->setSelectionMode(QAbstractItemView::MultiSelection);
    spdQueryResult->horizontalHeader()->setStretchLastSection(true);
    lblCount = named(new QLabel(QStringLiteral("共命中读者：0"), this), "lblCount");
    auto* cmdResultCancel = button("cmdResultCancel", QStringLiteral("全不选(&N)"), this);
    auto* cmdSelectAll = button("cmdSelectAll", QStringLiteral("全选(&A)"), this);
    cmdOK = button("cmdOK", QStringLiteral("确定(&O)"), this);
    auto* cmdCancel = button("cmdCancel", QStringLiteral("取消(&C)"), this);
    cmdOK->setEnabled(false);

    auto* commands = new QHBoxLayout;
    commands->addWidget(lblCount);
    commands->addStretch();
    for (QPushButton* b : {cmdSelectAll, cmdResultCancel, cmdOK, cmdCancel})
        commands->addWidget(b);
    auto* top = new QHBoxLayout;
    top->addLayout(ranges, 1);
    top->addWidget(cmdQuery);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addLayout(top);
    layout->addWidget(conditions);
    layout->addWidget(spdQueryResult, 1);
    layout->addLayout(commands);
    resize(900, 600);

    connect(cmdQuery, &QPushButton::clicked, this, &frmRedrSearch::runQuery);
    connect(spdQueryResult->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmRedrSearch::selectionChanged);
    connect(cmdResultCancel, &QPushButton::clicked, spdQueryResult, &QTableView::clearSelection);
    connect(cmdSelectAll, &QPushButton::clicked, spdQueryResult, &QTableView::selectAll);
    connect(cmdOK, &QPushButton::clicked, this, &frmRedrSearch::takeChosen);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRedrSearch::buildConditionGrid()
{
    spdRedrQuery->setHorizontalHeaderLabels({QStringLiteral("检索字段"), QStringLiteral("检索值")});
    spdRedrQuery->horizontalHeader()->setStretchLastSection(true);
    spdRedrQuery->setColumnWidth(0, 200);
    const QList<ReaderSearchField> fields = ReaderSearch::fields();
    for (int row = 0; row < ConditionRows; ++row) {
        auto* field = new QComboBox(spdRedrQuery);
        field->setObjectName(QStringLiteral("cboField%1").arg(row));
        field->addItem(QString());
        for (const ReaderSearchField& f : fields)
            field->addItem(f.caption, f.column);
        auto* value = new QComboBox(spdRedrQuery);
        value->setObjectName(QStringLiteral("cboValue%1").arg(row));
        value->setEditable(true);
        spdRedrQuery->setCellWidget(row, 0, field);
        spdRedrQuery->setCellWidget(row, 1, value);
        connect(field, &QComboBox::currentIndexChanged, this, [this, row] { fieldChosen(row); });
    }
}

// A code field offers its list ("[不定]" first) and takes nothing else; other fields are typed.
void frmRedrSearch::fieldChosen(int row)
{
    auto* field = static_cast<QComboBox*>(spdRedrQuery->cellWidget(row, 0));
    auto* value = static_cast<QComboBox*>(spdRedrQuery->cellWidget(row, 1));
    value->clear();
    const QString column = field->currentData().toString();
    for (const ReaderSearchField& f : ReaderSearch::fields()) {
        if (f.column != column)
            continue;
        const QList<ReaderSearchCode> codes = ReaderSearch::codes(f);
        value->setEditable(codes.isEmpty());
        for (const ReaderSearchCode& code : codes)
            value->addItem(code.shown, code.value);
        return;
    }
    value->setEditable(true);
}

void frmRedrSearch::setQuery(int kind, const QString& text)
{
    optSel[ReaderSearchCriteria::Combined]->setChecked(true);
    optPrefix->setChecked(true);
    auto* field = static_cast<QComboBox*>(spdRedrQuery->cellWidget(0, 0));
    field->setCurrentIndex(field->findData(ReaderSearch::columnOfKind(kind)));
    static_cast<QComboBox*>(spdRedrQuery->cellWidget(0, 1))->setEditText(text);
    runQuery();
}

void frmRedrSearch::runQuery()
{
    ReaderSearchCriteria criteria;
    for (int i = 0; i < 4; ++i) {
        if (optSel[i]->isChecked())
            criteria.option = ReaderSearchCriteria::Option(i);
    }
    criteria.exactMatch = optExact->isChecked();
    if (criteria.option == ReaderSearchCriteria::DateRange) {
        criteria.from = dtpFrom->text();
        criteria.to = dtpTo->text();
    } else {
        criteria.from = txtFrom->text().trimmed();
        criteria.to = txtTo->text().trimmed();
    }
    for (int row = 0; row < ConditionRows; ++row) {
        auto* field = static_cast<QComboBox*>(spdRedrQuery->cellWidget(row, 0));
        auto* value = static_cast<QComboBox*>(spdRedrQuery->cellWidget(row, 1));
        // A list entry sends its code ("[不定]" sends nothing); a typed value is sent as typed.
        const QString sent =
            value->isEditable() ? value->currentText().trimmed() : value->currentData().toString();
        criteria.conditions.append({field->currentData().toString(), sent});
    }

    QString refusal;
    const QString statement = ReaderSearch::statement(criteria, &refusal);
    if (statement.isEmpty()) {
        LIB_ShowMsg(refusal);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LIB_DB_CurrentStatement() = statement;
    ResultTable rows;
    const int status = LIB_DB_Select(statement, rows);
    QApplication::restoreOverrideCursor();
    if (status != 0) {
        LIB_DB_ShowError();
        rows.clear();
    }
    m_results->setResult(rows);
    lblCount->setText(QStringLiteral("共命中读者：%1").arg(m_results->rowCount()));
    selectionChanged();
}

void frmRedrSearch::selectionChanged()
{
    cmdOK->setEnabled(spdQueryResult->selectionModel()->hasSelection());
}

void frmRedrSearch::takeChosen()
{
    const QModelIndexList rows = spdQueryResult->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    int first = rows.first().row();
    for (const QModelIndex& index : rows)
        first = std::min(first, index.row());
    m_barcode = m_results->text(first, ReaderSearchModel::Barcode);
    m_certId = m_results->text(first, ReaderSearchModel::CertId);
    m_state = m_results->text(first, ReaderSearchModel::CardState);
    accept();
}

void frmRedrSearch::quickLookup(QWidget* host, int kind, const QString& typed,
                                const std::function<void(const QString& certId)>& show)
{
    if (typed.isEmpty())
        return;
    const auto lookupKind = ReaderLookup::Kind(kind);
    QStringList found;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int status = ReaderLookup::find(lookupKind, typed, found);
    QApplication::restoreOverrideCursor();
    if (status != 0) {
        LIB_DB_ShowError();
        return;
    }
    if (found.isEmpty()) {
        LIB_ShowMsg(ReaderLookup::notFoundMessage(lookupKind));
        return;
    }
    if (found.size() == 1) {
        show(found.first());
        return;
    }
    frmRedrSearch search(host);
    search.setQuery(kind, ReaderLookup::searchText(lookupKind, typed));
    if (search.exec() == QDialog::Accepted)
        show(search.chosenCertId());
}
