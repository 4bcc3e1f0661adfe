#pragma once
// Synthetic mouse presses and releases delivered straight to a widget, as a user's click
// would arrive (button, modifiers, position in the widget's own pixels).
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace testmouse {

inline void press(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(pos), w->mapToGlobal(QPointF(pos)), button,
                  button, mods);
    QApplication::sendEvent(w, &e);
}

inline void release(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(pos), w->mapToGlobal(QPointF(pos)), button,
                  Qt::NoButton, mods);
    QApplication::sendEvent(w, &e);
}

inline void click(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    press(w, pos, button, mods);
    release(w, pos, button, mods);
}

inline void click(QWidget* w, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    click(w, w->rect().center(), button, mods);
}

} // namespace testmouse
