#include "frmDateStart.h"

#include "startup/formhelpers.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

frmDateStart::frmDateStart(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDateStart"));
    setWindowTitle(QStringLiteral("统计时间输入窗口"));
    auto makeDate = [this](const char* name) {
        auto* date = makeNamed<QDateEdit>(this, name);
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        date->setDate(QDate::currentDate());
        return date;
    };
    dtpBegin = makeDate("dtpBegin");
    dtpEnd = makeDate("dtpEnd");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmDateStart::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmDateStart::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("起始日期"), dtpBegin);
    form->addRow(QStringLiteral("截止日期"), dtpEnd);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    keepDates();
}

void frmDateStart::setDates(const QDate& begin, const QDate& end)
{
    dtpBegin->setDate(begin);
    dtpEnd->setDate(end);
    keepDates();
}

void frmDateStart::keepDates()
{
    m_begin = dtpBegin->date();
    m_end = dtpEnd->date();
}

void frmDateStart::accept()
{
    keepDates();
    if (m_begin > m_end)
        return; // stays open until the range reads forwards
    m_given = true;
    QDialog::accept();
}

void frmDateStart::reject()
{
    keepDates();
    m_given = false;
    QDialog::reject();
}
