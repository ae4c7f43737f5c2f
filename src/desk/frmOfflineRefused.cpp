#include "frmOfflineRefused.h"

#include "db/messages.h"
#include "mainwindowgrid.h"
#include "offlinejournal.h"
#include "offlinerows.h"
#include "print/printdesigner.h"
#include "serverclock.h"
#include "startup/environment.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QPushButton* namedButton(const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmOfflineRefused::frmOfflineRefused(OfflineJournal& journal, QWidget* parent)
    : QDialog(parent), m_journal(journal)
{
    setObjectName(QStringLiteral("frmOfflineRefused"));
    setWindowTitle(QStringLiteral("脱机扫描未登记"));
    resize(900, 400);

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    m_model = new DeskGridModel(OfflineRows::refusedCaptions(), this);
    vsRefused = DeskGrid::makeView("vsRefused", m_model, this);
    cmdPrint = namedButton("cmdPrint", QStringLiteral("打印"));
    cmdClear = namedButton("cmdClear", QStringLiteral("清除"));
    auto* cmdClose = namedButton("cmdClose", QStringLiteral("关闭"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {cmdPrint, cmdClear, cmdClose})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCount);
    layout->addWidget(vsRefused, 1);
    layout->addLayout(buttons);

    connect(cmdPrint, &QPushButton::clicked, this, &frmOfflineRefused::print);
    connect(cmdClear, &QPushButton::clicked, this, &frmOfflineRefused::clearList);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    reload();
}

void frmOfflineRefused::reload()
{
    QList<QStringList> rows;
    for (const QStringList& cells : OfflineRows::refusedRows(m_journal.refused()))
        rows.append(QStringList{QString::number(rows.size() + 1)} + cells);
    m_model->setNumberedRows(rows);
    lblCount->setText(QStringLiteral("以下 %1 条脱机扫描补录时未予登记：").arg(rows.size()));
    cmdPrint->setEnabled(!rows.isEmpty());
    cmdClear->setEnabled(!rows.isEmpty());
}

void frmOfflineRefused::print()
{
    // Works offline too: the date is the server's as the desk estimates it.
    if (OfflineRows::handOverRefused(m_journal.refused(), LIB_GetEnv(4).toString(),
                                     ServerClock::instance().now().left(10)) > 0)
        LIB_ShowPrintDesigner(this);
}

void frmOfflineRefused::clearList()
{
    if (LIB_ShowMsg(QStringLiteral("Q清除这些未登记的脱机扫描吗？清除前可以先打印。")) != 1)
        return;
    if (!m_journal.clearRefused())
        LIB_ShowMsg(QStringLiteral("E脱机记录无法写入：") + m_journal.error());
    reload();
    Q_EMIT cleared();
}
