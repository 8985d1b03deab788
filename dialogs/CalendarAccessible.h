#pragma once

#include <QDate>

class QAbstractItemView;
class QCalendarWidget;

// What a screen reader hears of a calendar's days: each day as its whole date ("Wednesday,
// December 9, 2026"), where Qt's own cells give the day's number alone. The days' grid is a
// table whose children are the cells, numbered as the view numbers them in its focus events.
namespace CalendarAccessible {

// Once per program, before the first calendar is made.
void install();

// The date a cell of the calendar's days grid shows, or none for a day-name heading.
QDate dateAt(const QCalendarWidget &calendar, int row, int column);

} // namespace CalendarAccessible
