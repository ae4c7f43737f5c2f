#include "frmDataType.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmDataType::frmDataType(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDataType"));
    setWindowTitle(QStringLiteral("数据导入格式选择"));
    auto* frame = new QGroupBox(QStringLiteral("数据格式"), this);
    optSeparator = new QRadioButton(QStringLiteral("分隔符"), frame);
    optSeparator->setObjectName(QStringLiteral("optSeparator"));
    txtSeparator = new QLineEdit(frame);
    txtSeparator->setObjectName(QStringLiteral("txtSeparator"));
    optLine = new QRadioButton(QStringLiteral("回车换行"), frame);
    optLine->setObjectName(QStringLiteral("optLine"));
    optLine->setChecked(true);
    txtSeparator->setEnabled(false);
    connect(optSeparator, &QRadioButton::toggled, txtSeparator, &QLineEdit::setEnabled);
    // Choosing the separator option puts the cursor where the separator is typed.
    connect(optSeparator, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            txtSeparator->setFocus();
    });

    auto* separatorRow = new QHBoxLayout;
    separatorRow->addWidget(optSeparator);
    separatorRow->addWidget(txtSeparator, 1);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(separatorRow);
    frameLayout->addWidget(optLine);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmDataType::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmDataType::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
}

void frmDataType::accept()
{
    m_separator = optSeparator->isChecked() ? txtSeparator->text().trimmed() : QString();
    if (optSeparator->isChecked() && m_separator.isEmpty()) {
        reject(); // nothing to split the file at: no import
        return;
    }
    QDialog::accept();
}
