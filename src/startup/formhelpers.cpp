#include "formhelpers.h"

#include <QGuiApplication>
#include <QScreen>

void LIB_CenterForm(QWidget* window)
{
    if (!window)
        return;
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QPushButton* makeLinkLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* button = makeNamed<QPushButton>(parent, name, text);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: palette(link); text-decoration: underline; }"));
    return button;
}
