#include "frmRedrValid.h"

#include "db/messages.h"
#include "localreadertypes.h"
#include "startup/desksettings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* namedButton(const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QListWidget* namedList(const char* name)
{
    auto* list = new QListWidget;
    list->setObjectName(QLatin1String(name));
    return list;
}

int selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

} // namespace

frmRedrValid::frmRedrValid(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRedrValid"));
    setWindowTitle(QStringLiteral("本地读者选择"));

    lstUsetype = namedList("lstUsetype");
    lstRedrtype = namedList("lstRedrtype");
    auto* cmdSelect = namedButton("cmdSelect", QStringLiteral("选择"));
    auto* cmdUnselect = namedButton("cmdUnselect", QStringLiteral("退选"));
    cmdSelectAll = namedButton("cmdSelectAll", QStringLiteral("全选"));
    cmdUnselectAll = namedButton("cmdUnselectAll", QStringLiteral("全不选"));
    cmdOK = namedButton("cmdOK", QStringLiteral("确定"));
    cmdCancel = namedButton("cmdCancel", QStringLiteral("取消"));
    auto* cmdExit = namedButton("cmdExit", QStringLiteral("退出"));

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* button : {cmdSelect, cmdUnselect, cmdSelectAll, cmdUnselectAll})
        moves->addWidget(button);
    moves->addStretch();

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("本地读者")), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("非本地读者")), 0, 2);
    lists->addWidget(lstUsetype, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(lstRedrtype, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {cmdOK, cmdCancel, cmdExit})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);

    connect(cmdSelect, &QPushButton::clicked, this, &frmRedrValid::makeSelectedLocal);
    connect(lstRedrtype, &QListWidget::itemDoubleClicked, this, &frmRedrValid::makeSelectedLocal);
    connect(cmdUnselect, &QPushButton::clicked, this, &frmRedrValid::makeSelectedNonLocal);
    connect(lstUsetype, &QListWidget::itemDoubleClicked, this, &frmRedrValid::makeSelectedNonLocal);
    connect(cmdSelectAll, &QPushButton::clicked, this, [this] {
        m_lists.makeAllLocal();
        changed();
    });
    connect(cmdUnselectAll, &QPushButton::clicked, this, [this] {
        m_lists.makeAllNonLocal();
        changed();
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmRedrValid::save);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRedrValid::discard);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    reload();
}

void frmRedrValid::reload()
{
    m_lists.load(readLocalReaderTypesFile(localReaderTypesFilePath()).value_or(QStringList()));
    showLists();
    setPending(false);
}

void frmRedrValid::showLists()
{
    lstUsetype->clear();
    lstUsetype->addItems(m_lists.local());
    lstRedrtype->clear();
    lstRedrtype->addItems(m_lists.nonLocal());
    cmdSelectAll->setEnabled(!m_lists.nonLocal().isEmpty());
    cmdUnselectAll->setEnabled(!m_lists.local().isEmpty());
}

void frmRedrValid::changed()
{
    showLists();
    setPending(true);
}

// OK and cancel only mean something while a change waits to be saved.
void frmRedrValid::setPending(bool pending)
{
    cmdOK->setEnabled(pending);
    cmdCancel->setEnabled(pending);
}

void frmRedrValid::makeSelectedLocal()
{
    if (m_lists.makeLocal(selectedRow(lstRedrtype)))
        changed();
}

void frmRedrValid::makeSelectedNonLocal()
{
    if (m_lists.makeNonLocal(selectedRow(lstUsetype)))
        changed();
}

void frmRedrValid::save()
{
    if (LIB_ShowMsg(QStringLiteral("QCM002")) == 2)
        return;
    if (!writeLocalReaderTypesFile(localReaderTypesFilePath(), m_lists.fileLines())) {
        LIB_ShowMsg(QStringLiteral("E本地读者类型文件无法写入！"));
        return;
    }
    setPending(false);
    DeskSettings::current().saveLocalReaderTypesOnly(1);
    LIB_ShowMsg(QStringLiteral("ICM002"));
}

void frmRedrValid::discard()
{
    if (LIB_ShowMsg(QStringLiteral("WCM001")) == 2)
        return;
    reload();
}
