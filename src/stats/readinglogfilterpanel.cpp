#include "readinglogfilterpanel.h"

#include "db/messages.h"
#include "startup/formhelpers.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

ReadingLogFilterPanel::ReadingLogFilterPanel(const char* name, const QString& emptyMessage, QWidget* parent)
    : QFrame(parent), m_emptyMessage(emptyMessage)
{
    setObjectName(QLatin1String(name));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    m_list = makeNamed<QListWidget>(this, "lstItems");
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* all = makeNamed<QPushButton>(this, "cmdAll", QStringLiteral("全选"));
    auto* none = makeNamed<QPushButton>(this, "cmdNone", QStringLiteral("全不选"));
    auto* ok = makeNamed<QPushButton>(this, "cmdOk", QStringLiteral("确定"));
    auto* cancel = makeNamed<QPushButton>(this, "cmdCancel", QStringLiteral("取消"));
    connect(all, &QPushButton::clicked, m_list, &QListWidget::selectAll);
    connect(none, &QPushButton::clicked, m_list, &QListWidget::clearSelection);
    connect(ok, &QPushButton::clicked, this, &ReadingLogFilterPanel::accept);
    connect(cancel, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT cancelled();
    });

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0, 1, 4);
    layout->addWidget(all, 1, 0);
    layout->addWidget(none, 1, 1);
    layout->addWidget(ok, 1, 2);
    layout->addWidget(cancel, 1, 3);
    hide();
}

void ReadingLogFilterPanel::addEntry(const QString& text, const QString& code)
{
    auto* entry = new QListWidgetItem(text, m_list);
    entry->setData(Qt::UserRole, code);
}

QStringList ReadingLogFilterPanel::selectedCodes() const
{
    QStringList codes;
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->isSelected())
            codes << m_list->item(row)->data(Qt::UserRole).toString();
    }
    return codes;
}

void ReadingLogFilterPanel::accept()
{
    if (selectedCodes().isEmpty()) {
        LIB_ShowMsg(m_emptyMessage);
        return;
    }
    hide();
    Q_EMIT accepted();
}
