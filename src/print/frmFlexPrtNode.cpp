#include "frmFlexPrtNode.h"

#include "startup/formhelpers.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

frmFlexPrtNode::frmFlexPrtNode(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFlexPrtNode"));
    setWindowTitle(QStringLiteral("新增Marc子字段"));
    auto* form = new QFormLayout(this);
    txtName = makeNamed<QLineEdit>(this, "txtName");
    txtCnMarc = makeNamed<QLineEdit>(this, "txtCnMarc");
    txtUsMarc = makeNamed<QLineEdit>(this, "txtUsMarc");
    form->addRow(QStringLiteral("在此输入Marc子字段名："), txtName);
    form->addRow(QStringLiteral("CN_Marc："), txtCnMarc);
    form->addRow(QStringLiteral("US_Marc："), txtUsMarc);
    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancel"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit* box : {txtName, txtCnMarc, txtUsMarc})
        connect(box, &QLineEdit::textChanged, this, &frmFlexPrtNode::updateOk);
    updateOk();
}

void frmFlexPrtNode::updateOk()
{
    cmdOK->setEnabled(!heading().isEmpty() && !(cnMarc().isEmpty() && usMarc().isEmpty()));
}

QString frmFlexPrtNode::heading() const
{
    return txtName->text().trimmed();
}

QString frmFlexPrtNode::cnMarc() const
{
    return txtCnMarc->text().trimmed();
}

QString frmFlexPrtNode::usMarc() const
{
    return txtUsMarc->text().trimmed();
}
