#pragma once

#include <QPoint>
#include <QSize>
#include <algorithm>

// Where a pop-up of that size opens when it is wanted at that point: there whenever it fits,
// else moved left or up just enough to lie wholly on the screen (and never off its top-left
// corner). A command or an editor partly off screen could not be reached.
inline QPoint OnScreen(QPoint wanted, QSize size, QSize screen)
{
    return {std::max(0, std::min(wanted.x(), screen.width() - size.width())),
            std::max(0, std::min(wanted.y(), screen.height() - size.height()))};
}
