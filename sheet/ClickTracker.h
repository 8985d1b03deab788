#pragma once

#include <QMouseEvent>
#include <QWidget>

// A left press and release inside the same widget make a click.
class ClickTracker
{
public:
    void press(const QMouseEvent *event) { m_pressed = event->button() == Qt::LeftButton; }
    bool release(const QWidget *widget, const QMouseEvent *event)
    {
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           widget->rect().contains(event->position().toPoint());
        m_pressed = false;
        return click;
    }

private:
    bool m_pressed = false;
};
