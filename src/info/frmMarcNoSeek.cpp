#include "frmMarcNoSeek.h"

#include "bookhitsmodel.h"
#include "booksearch.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "infowindowparts.h"
#include "marcsearchpaths.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmMarcNoSeek::frmMarcNoSeek(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMarcNoSeek"));
    setWindowTitle(QStringLiteral("图书检索"));

    auto* conditions = new QGridLayout;
    const QList<MarcSearchPath>& paths = MarcSearchPaths::instance().paths();
    for (int row = 0; row < ConditionRows; ++row) {
        cboPath[row] = new QComboBox(this);
        cboPath[row]->setObjectName(QStringLiteral("cboPath%1").arg(row));
        cboPath[row]->addItem(BookSearch::noRestriction, BookSearch::noRestriction);
        for (const MarcSearchPath& path : paths)
            cboPath[row]->addItem(path.caption, path.group);
        // Row n starts on the n-th path, so the common searches need no choosing.
        cboPath[row]->setCurrentIndex(row + 1 < cboPath[row]->count() ? row + 1 : 0);
        cboOper[row] = new QComboBox(this);
        cboOper[row]->setObjectName(QStringLiteral("cboOper%1").arg(row));
        cboOper[row]->addItems(BookSearch::operatorCaptions());
        txtValue[row] = new QLineEdit(this);
        txtValue[row]->setObjectName(QStringLiteral("txtValue%1").arg(row));
        connect(txtValue[row], &QLineEdit::returnPressed, this, &frmMarcNoSeek::seek);
        conditions->addWidget(cboPath[row], row, 0);
        conditions->addWidget(cboOper[row], row, 1);
        conditions->addWidget(txtValue[row], row, 2);
    }
    auto* cmdSeek = button("cmdSeek", QStringLiteral("检索(&S)"), this);
    conditions->addWidget(cmdSeek, 0, 3);

    auto* list = new QGroupBox(QStringLiteral("命中记录"), this);
    m_hits = new BookHitsModel(BookHitsModel::Layout::SearchHits, this);
    spdBookLst = InfoWindow::makeGrid("spdBookLst", m_hits, list);
    (new QVBoxLayout(list))->addWidget(spdBookLst);
    lblRecNum = new QLabel(QStringLiteral("0"), this);
    lblRecNum->setObjectName(QStringLiteral("lblRecNum"));
    cmdOK = button("cmdOK", QStringLiteral("确定"), this);
    cmdOK->setEnabled(false);
    auto* cmdCancel = button("cmdCancel", QStringLiteral("取消"), this);

    auto* commands = new QHBoxLayout;
    commands->addWidget(new QLabel(QStringLiteral("命中记录数："), this));
    commands->addWidget(lblRecNum);
    commands->addStretch();
    commands->addWidget(cmdOK);
    commands->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(conditions);
    layout->addWidget(list, 1);
    layout->addLayout(commands);
    resize(800, 560);

    connect(cmdSeek, &QPushButton::clicked, this, &frmMarcNoSeek::seek);
    connect(spdBookLst->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { cmdOK->setEnabled(spdBookLst->selectionModel()->hasSelection()); });
    connect(spdBookLst, &QTableView::doubleClicked, this, &frmMarcNoSeek::choose);
    connect(cmdOK, &QPushButton::clicked, this, &frmMarcNoSeek::choose);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmMarcNoSeek::seek()
{
    QList<BookSearch::Condition> rows;
    for (int row = 0; row < ConditionRows; ++row) {
        rows.append({cboPath[row]->currentData().toString(),
                     BookSearch::Operator(cboOper[row]->currentIndex()), txtValue[row]->text().trimmed()});
    }
    QString refusal;
    const QString statement = BookSearch::combinedStatement(rows, LIB_DB_SchemaFlags().longMarc, &refusal);
    if (statement.isEmpty()) {
        LIB_ShowMsg(refusal);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList found;
    int status = BookSearch::find(statement, found);
    if (status == 0)
        status = m_hits->setHits(found);
    QApplication::restoreOverrideCursor();
    if (status != 0) {
        LIB_DB_ShowError();
        m_hits->clear();
    }
    lblRecNum->setText(QString::number(m_hits->hitCount()));
}

void frmMarcNoSeek::choose()
{
    const QModelIndex current = spdBookLst->currentIndex();
    if (!current.isValid())
        return;
    m_chosen = m_hits->marcRecNo(current.row());
    accept();
}
