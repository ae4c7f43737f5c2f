#include "frmBarReadRule.h"

#include "barcoderules.h"
#include "db/messages.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPushButton* addButton(QBoxLayout* row, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    row->addWidget(button);
    return button;
}

QLineEdit* namedEdit(const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

frmBarReadRule::frmBarReadRule(BarcodeReadRules& rules, QWidget* parent)
    : QDialog(parent), m_rules(rules), m_list(rules.rules)
{
    setObjectName(QStringLiteral("frmBarReadRule"));
    setWindowTitle(QStringLiteral("读者条码读取规则"));

    m_used = new QCheckBox(QStringLiteral("使用读取规则"));
    m_used->setObjectName(QStringLiteral("chkUsed"));
    m_used->setChecked(rules.used == 1);

    auto* frame = new QGroupBox(QStringLiteral("读者条码读取规则"));
    frame->setObjectName(QStringLiteral("fraRule"));
    m_byPosition = new QRadioButton(QStringLiteral("按起始位置及长度读取"));
    m_byPosition->setObjectName(QStringLiteral("optPosition"));
    m_bySeparator = new QRadioButton(QStringLiteral("按分隔符读取"));
    m_bySeparator->setObjectName(QStringLiteral("optSeparator"));
    (rules.positionRules ? m_byPosition : m_bySeparator)->setChecked(true);

    m_start = namedEdit("txtStart");
    m_length = namedEdit("txtLength");
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("起始位置：")), 0, 0);
    fields->addWidget(m_start, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("截取长度：")), 1, 0);
    fields->addWidget(m_length, 1, 1);

    // Fixed pitch, so the columns of the lines stand under the heading.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* heading = new QLabel(QStringLiteral("序号      起始位置      截取长度"));
    heading->setFont(fixed);
    m_lines = new QListWidget;
    m_lines->setObjectName(QStringLiteral("lstRules"));
    m_lines->setFont(fixed);

    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_byPosition);
    frameLayout->addWidget(m_bySeparator);
    frameLayout->addLayout(fields);
    frameLayout->addWidget(heading);
    frameLayout->addWidget(m_lines);

    auto* buttons = new QHBoxLayout;
    connect(addButton(buttons, "cmdNew", QStringLiteral("新增")), &QPushButton::clicked, this,
            &frmBarReadRule::addRule);
    connect(addButton(buttons, "cmdDelete", QStringLiteral("删除")), &QPushButton::clicked, this,
            &frmBarReadRule::deleteRule);
    buttons->addStretch();
    connect(addButton(buttons, "cmdOK", QStringLiteral("确定")), &QPushButton::clicked, this,
            &frmBarReadRule::accept);
    connect(addButton(buttons, "cmdCancel", QStringLiteral("取消")), &QPushButton::clicked, this,
            &frmBarReadRule::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_used);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    showRules();
}

void frmBarReadRule::showRules()
{
    m_lines->clear();
    m_lines->addItems(m_list.lines());
}

void frmBarReadRule::addRule()
{
    switch (m_list.add(m_start->text(), m_length->text())) {
    case BarcodeRuleList::AddResult::Incomplete:
        return;
    case BarcodeRuleList::AddResult::BadStart:
        LIB_ShowMsg(QStringLiteral("E起始位置应是1到%1之间的整数！").arg(BarcodeRule::maxField));
        m_start->setFocus();
        m_start->selectAll();
        return;
    case BarcodeRuleList::AddResult::BadLength:
        LIB_ShowMsg(QStringLiteral("E截取长度应是0到%1之间的整数！").arg(BarcodeRule::maxField));
        m_length->setFocus();
        m_length->selectAll();
        return;
    case BarcodeRuleList::AddResult::Added:
        showRules();
        m_start->clear();
        m_length->clear();
        m_start->setFocus();
        return;
    }
}

void frmBarReadRule::deleteRule()
{
    const QList<QListWidgetItem*> selected = m_lines->selectedItems();
    if (selected.isEmpty())
        return;
    m_list.remove(m_lines->row(selected.first()));
    showRules();
}

void frmBarReadRule::accept()
{
    if (!m_rules.save(m_used->isChecked(), m_byPosition->isChecked(), m_list.rules())) {
        LIB_ShowMsg(QStringLiteral("E条码读取规则文件无法写入！"));
        return;
    }
    QDialog::accept();
}
