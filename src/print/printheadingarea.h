#pragma once

#include "printlayout.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;

// The heading lines above the designer's table, each a label that can be dragged and edited in
// place (double-click); a double-click on the free area inserts "在这里插入文本" there. The area
// works on the labels of a PrintLayout that the designer owns.
class PrintHeadingArea : public QWidget
{
    Q_OBJECT

public:
    explicit PrintHeadingArea(QWidget* parent = nullptr);

    void setLabels(QList<HeadingLabel>* labels); // rebuilds the shown labels
    // Centred labels stand in the middle of this width (the table's), as on the page.
    void setCenterWidth(int width);
    void refresh();
    int currentLabel() const { return m_current; }
    void setCurrentLabel(int index);
    // Inserts a label at a place and starts editing it; returns its index.
    int insertLabel(const QPointF& pos);
    void editLabel(int index);

Q_SIGNALS:
    void currentLabelChanged(int index);
    void labelMenuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void finishEditing();
    int indexOf(QObject* label) const;

    QList<HeadingLabel>* m_labels = nullptr;
    QList<QLabel*> m_widgets;
    QLineEdit* m_editor = nullptr;
    int m_editing = -1;
    int m_current = -1;
    int m_centerWidth = 0;
    QPoint m_dragStart;
    QPointF m_dragOrigin;
};
