#include "frmShowRate.h"

#include "startup/formhelpers.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmShowRate::frmShowRate(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmShowRate"));
    setMinimumWidth(380);
    auto* layout = new QVBoxLayout(this);
    prgRate = makeNamed<QProgressBar>(this, "prgRate");
    prgRate->setTextVisible(false);
    layout->addWidget(prgRate);
    auto* line = new QHBoxLayout;
    line->addWidget(new QLabel(QStringLiteral("还剩："), this));
    lblTime = makeNamed<QLabel>(this, "lblTime", QStringLiteral("00:00:00"));
    line->addWidget(lblTime);
    line->addStretch();
    layout->addLayout(line);
    lblCount = makeNamed<QLabel>(this, "lblCount");
    layout->addWidget(lblCount);
    cmdCancel = makeNamed<QPushButton>(this, "cmdCancel", QStringLiteral("取消(&C)"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdCancel, &QPushButton::clicked, this, &frmShowRate::cancelled);
}

void frmShowRate::closeEvent(QCloseEvent* event)
{
    // Closing the window asks to cancel; the running loop ends the display.
    event->ignore();
    Q_EMIT cancelled();
}

void frmShowRate::reject()
{
    Q_EMIT cancelled();
}
