#include "frmExpTable.h"

#include "accessdatabase.h"
#include "db/messages.h"
#include "startup/formhelpers.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmExpTable::frmExpTable(const QString& path, int existing, const QList<ExportColumn>& columns,
                         QWidget* parent)
    : QDialog(parent), m_path(path), m_columns(columns)
{
    setObjectName(QStringLiteral("frmExpTable"));
    setWindowTitle(QStringLiteral("导出到"));
    auto* layout = new QVBoxLayout(this);
    fraTable = new QGroupBox(this);
    auto* frame = new QVBoxLayout(fraTable);
    auto* options = new QHBoxLayout;
    optNew = makeNamed<QRadioButton>(fraTable, "optNew", QStringLiteral("新建表"));
    optExisting = makeNamed<QRadioButton>(fraTable, "optExisting", QStringLiteral("现有表"));
    options->addWidget(optNew);
    options->addWidget(optExisting);
    frame->addLayout(options);
    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("表名"), fraTable));
    txtTable = makeNamed<QLineEdit>(fraTable, "txtTable");
    name->addWidget(txtTable);
    frame->addLayout(name);
    lstTables = makeNamed<QListWidget>(fraTable, "lstTables");
    frame->addWidget(lstTables);
    layout->addWidget(fraTable);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = makeNamed<QPushButton>(this, "cmdOK", QStringLiteral("OK"));
    cmdCancel = makeNamed<QPushButton>(this, "cmdCancel", QStringLiteral("Cancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    if (existing) {
        QStringList tables;
        AccessDatabase database(path);
        if (database.listTables(tables) != 0)
            LIB_ShowMsg(QStringLiteral("E") + database.error());
        lstTables->addItems(tables);
    }
    optExisting->setEnabled(existing && lstTables->count() > 0);
    chooseExisting(optExisting->isEnabled());
    cmdOK->setEnabled(false);

    connect(txtTable, &QLineEdit::textChanged, this,
            [this](const QString& text) { cmdOK->setEnabled(!text.trimmed().isEmpty()); });
    connect(lstTables, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        txtTable->setText(item->text());
        cmdOK->setEnabled(true);
    });
    connect(optExisting, &QRadioButton::toggled, this, &frmExpTable::chooseExisting);
    connect(cmdOK, &QPushButton::clicked, this, &frmExpTable::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmExpTable::chooseExisting(bool existing)
{
    if (existing && lstTables->count() == 0) {
        optExisting->setEnabled(false);
        existing = false;
    }
    (existing ? optExisting : optNew)->setChecked(true);
    txtTable->setReadOnly(existing);
    if (existing) {
        if (!lstTables->currentItem())
            lstTables->setCurrentRow(0);
        txtTable->setText(lstTables->currentItem()->text());
    }
}

void frmExpTable::setControlsEnabled(bool enabled)
{
    for (QWidget* widget :
         {static_cast<QWidget*>(fraTable), static_cast<QWidget*>(cmdOK), static_cast<QWidget*>(cmdCancel)})
        widget->setEnabled(enabled);
}

void frmExpTable::ok()
{
    const QString name = txtTable->text().trimmed();
    if (name.isEmpty())
        return;
    if (optNew->isChecked()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        AccessDatabase database(m_path);
        const int created = database.createTable(name, m_columns);
        QApplication::restoreOverrideCursor();
        if (created != 0) {
            LIB_ShowMsg(QStringLiteral("E") + database.error());
            return;
        }
    }
    m_tableName = name;
    if (afterTableChosen())
        accept();
}
