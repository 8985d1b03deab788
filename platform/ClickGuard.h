#pragma once

#include <QObject>
#include <QPointF>

#include <optional>

class QWidget;

// Swallows the clicks a person did not mean for the window it watches: a press at the spot of
// an earlier click (within the double-click distance) less than a second after it, such as
// the rest of a double- or triple-click whose first click opened the window, or answered the
// one before it at the same place. Once the pointer has moved away, or a second later, clicks
// count again.
class ClickGuard : public QObject
{
public:
    // A click: where on the screen, and when in the window system's time (that of its
    // mouse events).
    struct Click
    {
        QPointF globalPos;
        quint64 timestamp = 0;
    };

    ClickGuard(const Click &click, QObject *parent) : QObject(parent), m_click(click) {}
    // Guards the top-level widget window, all of it, against the rest of the click.
    void watch(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::optional<Click> m_click;
    bool m_swallowRelease = false;
};
