#pragma once

#include <QPushButton>
#include <QWidget>
#include <type_traits>
#include <utility>

// Places a window in the middle of the screen it is on (the primary screen before it is shown).
void LIB_CenterForm(QWidget* window);

// Closes a window, releases it once its events are done, and clears the reference to it.
template <typename Window> void LIB_UnloadForm(Window*& window)
{
    if (!window)
        return;
    QWidget* widget = window;
    window = nullptr;
    widget->close();
    widget->deleteLater();
}

// A child widget under the object name that tests and themes address it by. Buttons made this way
// never become the default by taking the focus: only a window's own default button answers Enter.
template <typename Widget, typename... Args>
Widget* makeNamed(QWidget* parent, const char* name, Args&&... args)
{
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    if constexpr (std::is_base_of_v<QPushButton, Widget>)
        widget->setAutoDefault(false);
    return widget;
}

// A link label: a flat, underlined button that never takes the focus.
QPushButton* makeLinkLabel(QWidget* parent, const char* name, const QString& text);
