#include "ClickGuard.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

void ClickGuard::watch(QWidget *window)
{
    // On the window itself, before Qt hands a press to the button under it: a press stopped
    // there neither presses the button nor moves the keyboard focus onto it, where Return
    // would then press it.
    window->winId(); // the window system's window, from now on
    window->windowHandle()->installEventFilter(this);
}

bool ClickGuard::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (type == QEvent::MouseButtonRelease && m_swallowRelease) {
        m_swallowRelease = false;
        return true;
    }
    if (!m_click)
        return QObject::eventFilter(watched, event);
    const QPointF moved = mouse->globalPosition() - m_click->globalPos;
    const bool samePlace = std::max(std::abs(moved.x()), std::abs(moved.y())) <=
                           QGuiApplication::styleHints()->mouseDoubleClickDistance();
    if (!samePlace) {
        m_click.reset(); // the pointer moved on: what it does now is meant
        return QObject::eventFilter(watched, event);
    }
    if (type != QEvent::MouseMove && mouse->timestamp() - m_click->timestamp < 1000) {
        m_swallowRelease = true;
        return true;
    }
    return QObject::eventFilter(watched, event);
}
