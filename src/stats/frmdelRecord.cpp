#include "frmdelRecord.h"

#include "readinglogpurge.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmdelRecord::frmdelRecord(int deskMode, QWidget* parent) : QDialog(parent), m_deskMode(deskMode)
{
    setObjectName(QStringLiteral("frmdelRecord"));
    setWindowTitle(readingLogPurgeTitle(deskMode));
    mvwDate = makeNamed<QCalendarWidget>(this, "mvwDate");
    txtdate = makeNamed<QLineEdit>(this, "txtdate");
    CmdOk = makeNamed<QPushButton>(this, "CmdOk", QStringLiteral("确定(&O)"));
    CmdExit = makeNamed<QPushButton>(this, "CmdExit", QStringLiteral("退出(&Q)"));

    auto* dateLine = new QHBoxLayout;
    dateLine->addWidget(new QLabel(QStringLiteral("删除"), this));
    dateLine->addWidget(txtdate);
    dateLine->addWidget(new QLabel(QStringLiteral("以前的历史记录"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mvwDate);
    layout->addLayout(dateLine);
    layout->addLayout(buttons);

    const QDate today = QDate::fromString(LIB_GetEnv(1).toString(), QStringLiteral("yyyy-MM-dd"));
    mvwDate->setSelectedDate(today.isValid() ? today : QDate::currentDate());
    txtdate->setText(mvwDate->selectedDate().toString(QStringLiteral("yyyy-MM-dd")));
    CmdOk->setEnabled(false);
    connect(mvwDate, &QCalendarWidget::selectionChanged, this,
            [this] { txtdate->setText(mvwDate->selectedDate().toString(QStringLiteral("yyyy-MM-dd"))); });
    const bool hasLog = !readingLogTable(deskMode).isEmpty();
    connect(mvwDate, &QCalendarWidget::clicked, this, [this, hasLog] {
        if (!hasLog)
            return;
        CmdOk->setEnabled(true);
        CmdOk->setFocus();
    });
    connect(CmdOk, &QPushButton::clicked, this, &frmdelRecord::purge);
    connect(CmdExit, &QPushButton::clicked, this, &frmdelRecord::reject);
}

void frmdelRecord::purge()
{
    purgeReadingLog(m_deskMode, txtdate->text());
}
