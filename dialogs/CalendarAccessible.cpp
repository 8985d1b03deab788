#include "CalendarAccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QPointer>

#include <vector>

namespace {

QCalendarWidget *calendarOf(const QAbstractItemView *days)
{
    return days ? qobject_cast<QCalendarWidget *>(days->parentWidget()) : nullptr;
}

class DayCell : public QAccessibleInterface
{
public:
    DayCell(QAbstractItemView *days, QAccessibleInterface *table, int row, int column)
        : m_days(days), m_table(table), m_row(row), m_column(column)
    {
    }

    bool isValid() const override { return m_days && m_days->model(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_table->window(); }
    QAccessibleInterface *parent() const override { return m_table; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name || !index().isValid())
            return QString();
        const QCalendarWidget *calendar = calendarOf(m_days);
        const QDate date = calendar ? CalendarAccessible::dateAt(*calendar, m_row, m_column) : QDate();
        if (date.isValid())
            return calendar->locale().toString(date, QLocale::LongFormat);
        return index().data(Qt::DisplayRole).toString(); // a day's name above its column
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        const QModelIndex at = isValid() ? index() : QModelIndex();
        if (!at.isValid()) { // a place of the view's hidden headers
            s.invisible = true;
            return s;
        }
        s.focusable = s.selectable = (at.flags() & Qt::ItemIsSelectable);
        s.selected = m_days->selectionModel() && m_days->selectionModel()->isSelected(at);
        s.focused = m_days->hasFocus() && m_days->currentIndex() == at;
        s.invisible = !m_days->isVisible();
        return s;
    }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect r = m_days->visualRect(index());
        return QRect(m_days->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

private:
    // Invalid for a place of the hidden headers (row or column -1).
    QModelIndex index() const { return m_days->model()->index(m_row, m_column); }

    QPointer<QAbstractItemView> m_days;
    QAccessibleInterface *m_table;
    int m_row, m_column;
};

// Children are numbered row by row as the view numbers the cell whose focus it reports: its
// own (hidden) headers count as a first row and a first column, the day names being the
// model's first row.
class DaysTable : public QAccessibleWidget
{
public:
    explicit DaysTable(QAbstractItemView *days) : QAccessibleWidget(days, QAccessible::Table) {}

    ~DaysTable() override
    {
        for (QAccessible::Id id : m_cells) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override
    {
        const QAbstractItemModel *model = days()->model();
        return model ? (model->rowCount() + 1) * (model->columnCount() + 1) : 0;
    }

    QAccessibleInterface *child(int index) const override
    {
        const QAbstractItemModel *model = days()->model();
        if (!model || index < 0 || index >= childCount())
            return nullptr;
        if (m_cells.size() < size_t(childCount()))
            m_cells.resize(size_t(childCount()), 0);
        QAccessible::Id &id = m_cells[size_t(index)];
        if (!id) {
            const int places = model->columnCount() + 1;
            id = QAccessible::registerAccessibleInterface(new DayCell(
                days(), const_cast<DaysTable *>(this), index / places - 1, index % places - 1));
        }
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < m_cells.size(); ++i) {
            if (m_cells[i] && QAccessible::accessibleInterface(m_cells[i]) == child)
                return int(i);
        }
        return -1;
    }

    QAccessibleInterface *focusChild() const override
    {
        const QModelIndex at = days()->currentIndex();
        if (!days()->hasFocus() || !at.isValid())
            return nullptr;
        return child(numberOf(at));
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint inView = days()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex at = days()->indexAt(inView);
        return at.isValid() ? child(numberOf(at)) : nullptr;
    }

private:
    QAbstractItemView *days() const { return static_cast<QAbstractItemView *>(widget()); }
    static int numberOf(const QModelIndex &at)
    {
        return (at.row() + 1) * (at.model()->columnCount() + 1) + at.column() + 1;
    }

    mutable std::vector<QAccessible::Id> m_cells;
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *days = qobject_cast<QAbstractItemView *>(object);
    if (className == u"QCalendarView" && calendarOf(days))
        return new DaysTable(days);
    return nullptr;
}

} // namespace

namespace CalendarAccessible {

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QDate dateAt(const QCalendarWidget &calendar, int row, int column)
{
    const auto *days = calendar.findChild<const QAbstractItemView *>();
    if (!days || !days->model())
        return QDate();
    bool isDay = false;
    const int day = days->model()->index(row, column).data(Qt::DisplayRole).toString().toInt(&isDay);
    if (!isDay)
        return QDate();
    // The grid shows six weeks (below the day names): the month with the end of the month
    // before and the start of the one after. Only the first two weeks can hold the month
    // before, only the last two the month after.
    QDate month(calendar.yearShown(), calendar.monthShown(), 1);
    const int week = row - (days->model()->rowCount() - 6);
    if (week < 2 && day > 20)
        month = month.addMonths(-1);
    else if (week >= 4 && day < 15)
        month = month.addMonths(1);
    return QDate(month.year(), month.month(), day);
}

} // namespace CalendarAccessible
