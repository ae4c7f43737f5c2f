#include "statyearbox.h"

#include "statconditions.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScrollBar>

StatYearBox::StatYearBox(QWidget* parent) : QWidget(parent)
{
    txtYear = new QLineEdit(this);
    txtYear->setObjectName(QStringLiteral("txtYear"));
    txtYear->setReadOnly(true);
    txtYear->setFocusPolicy(Qt::NoFocus);
    txtYear->setMaximumWidth(80);
    // A vertical spinner: its up arrow lowers the value, its down arrow raises it.
    updYear = new QScrollBar(Qt::Vertical, this);
    updYear->setObjectName(QStringLiteral("updYear"));
    updYear->setRange(1900, 9999);
    updYear->setPageStep(1);
    updYear->setFixedHeight(txtYear->sizeHint().height());
    connect(updYear, &QScrollBar::valueChanged, this,
            [this](int value) { txtYear->setText(QString::number(value) + QStringLiteral("年")); });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(txtYear);
    layout->addWidget(updYear);
    layout->addStretch();
    setYear(1999);
}

void StatYearBox::setYear(int year)
{
    updYear->setValue(year);
    txtYear->setText(QString::number(updYear->value()) + QStringLiteral("年"));
}

int StatYearBox::year() const
{
    return updYear->value();
}

QString StatYearBox::text() const
{
    return txtYear->text();
}

QComboBox* LIB_MakeMonthCombo(QWidget* parent, const char* name, int month)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    for (int m = 1; m <= 12; ++m)
        combo->addItem(QString::number(m) + QStringLiteral("月"));
    combo->setCurrentIndex(qBound(1, month, 12) - 1);
    return combo;
}

QString LIB_MonthOfCombo(const QComboBox* combo)
{
    return LIB_TwoDigitMonth(combo->currentText().section(QStringLiteral("月"), 0, 0).toInt());
}
