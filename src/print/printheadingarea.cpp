#include "printheadingarea.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

PrintHeadingArea::PrintHeadingArea(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picHeading"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    m_editor = new QLineEdit(this);
    m_editor->setObjectName(QStringLiteral("txtHeadingEdit"));
    m_editor->hide();
    connect(m_editor, &QLineEdit::editingFinished, this, &PrintHeadingArea::finishEditing);
}

void PrintHeadingArea::setLabels(QList<HeadingLabel>* labels)
{
    m_labels = labels;
    m_current = -1;
    refresh();
}

void PrintHeadingArea::setCenterWidth(int width)
{
    if (width != m_centerWidth) {
        m_centerWidth = width;
        refresh();
    }
}

void PrintHeadingArea::refresh()
{
    qDeleteAll(m_widgets);
    m_widgets.clear();
    if (!m_labels)
        return;
    double bottom = 40;
    for (int i = 0; i < m_labels->size(); ++i) {
        const HeadingLabel& heading = m_labels->at(i);
        auto* label = new QLabel(heading.text, this);
        label->setObjectName(QStringLiteral("lblHeading%1").arg(i));
        label->setFont(LIB_PrintFont(heading.font, font()));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText,
                         heading.hidden
                             ? QColor(Qt::lightGray)
                             : (heading.color.isEmpty() ? QColor(Qt::black) : QColor(heading.color)));
        label->setPalette(palette);
        label->setFrameShape(i == m_current ? QFrame::Box : QFrame::NoFrame);
        label->adjustSize();
        const int across = std::max(m_centerWidth, label->width());
        const int x = heading.centered ? std::max(0, (across - label->width()) / 2) : int(heading.pos.x());
        label->move(x, int(heading.pos.y()));
        label->installEventFilter(this);
        label->setVisible(!heading.text.isEmpty());
        bottom = std::max(bottom, heading.pos.y() + label->height() + 8);
        m_widgets.append(label);
    }
    setMinimumHeight(int(bottom));
}

void PrintHeadingArea::setCurrentLabel(int index)
{
    m_current = index;
    for (int i = 0; i < m_widgets.size(); ++i)
        m_widgets.at(i)->setFrameShape(i == index ? QFrame::Box : QFrame::NoFrame);
    Q_EMIT currentLabelChanged(index);
}

int PrintHeadingArea::insertLabel(const QPointF& pos)
{
    HeadingLabel label;
    label.text = QStringLiteral("在这里插入文本");
    label.pos = pos;
    m_labels->append(label);
    const int index = int(m_labels->size() - 1);
    m_current = index;
    refresh();
    editLabel(index);
    return index;
}

void PrintHeadingArea::editLabel(int index)
{
    if (index < 0 || index >= m_widgets.size())
        return;
    m_editing = index;
    QLabel* label = m_widgets.at(index);
    m_editor->setText(m_labels->at(index).text);
    m_editor->setFont(label->font());
    m_editor->setGeometry(label->x(), label->y(), std::max(200, label->width() + 40), label->height() + 6);
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus();
    m_editor->selectAll();
}

void PrintHeadingArea::finishEditing()
{
    if (m_editing < 0)
        return;
    (*m_labels)[m_editing].text = m_editor->text();
    m_editing = -1;
    m_editor->hide();
    refresh();
}

int PrintHeadingArea::indexOf(QObject* label) const
{
    return int(m_widgets.indexOf(qobject_cast<QLabel*>(label)));
}

bool PrintHeadingArea::eventFilter(QObject* watched, QEvent* event)
{
    const int index = indexOf(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        setCurrentLabel(index);
        m_dragStart = mouse->globalPosition().toPoint();
        m_dragOrigin = m_widgets.at(index)->pos();
        return true;
    case QEvent::MouseMove:
        if (mouse->buttons() & Qt::LeftButton) {
            const QPoint moved = mouse->globalPosition().toPoint() - m_dragStart;
            HeadingLabel& heading = (*m_labels)[index];
            heading.centered = false;
            heading.pos = QPointF(std::max(0.0, m_dragOrigin.x() + moved.x()),
                                  std::max(0.0, m_dragOrigin.y() + moved.y()));
            m_widgets.at(index)->move(heading.pos.toPoint());
        }
        return true;
    case QEvent::MouseButtonDblClick:
        editLabel(index);
        return true;
    case QEvent::ContextMenu:
        setCurrentLabel(index);
        Q_EMIT labelMenuRequested(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void PrintHeadingArea::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_labels)
        insertLabel(event->position());
}
