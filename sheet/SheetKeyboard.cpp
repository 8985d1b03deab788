#include "SheetKeyboard.h"

#include "EditTextGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QShortcut>
#include <algorithm>

namespace {

// Texts whose tops lie this close are read as one line.
constexpr int LineTolerance = 8;

// A dotted rectangle over the focused text that lets every click through.
class FocusFrame : public QWidget
{
public:
    explicit FocusFrame(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("SheetFocusFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

bool isStop(const QWidget *w, const QWidget *sheet)
{
    return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(sheet);
}

void readingOrder(QWidget *parent, const QWidget *sheet, std::vector<QWidget *> &out)
{
    std::vector<QWidget *> children;
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && w->isVisibleTo(sheet))
            children.push_back(w);
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const QWidget *a, const QWidget *b) { return a->y() < b->y(); });
    // Lines: each starts at the highest widget not yet placed and takes every widget whose
    // top lies within the tolerance; a line reads from left to right.
    for (auto line = children.begin(); line != children.end();) {
        const int top = (*line)->y();
        auto end = std::find_if(line, children.end(),
                                [top](const QWidget *w) { return w->y() > top + LineTolerance; });
        std::stable_sort(line, end, [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
        for (auto it = line; it != end; ++it) {
            if (isStop(*it, sheet))
                out.push_back(*it);
            if (!qobject_cast<QAbstractScrollArea *>(*it)) // the table is one stop
                readingOrder(*it, sheet, out);
        }
        line = end;
    }
}

bool activates(const QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier)
        return false;
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space ||
           e->key() == Qt::Key_F2;
}

} // namespace

SheetKeyboard::SheetKeyboard(QWidget *sheet, QScrollArea *scrollBox, EditTextGrid *table, Actions actions)
    : QObject(sheet), m_sheet(sheet), m_scrollBox(scrollBox), m_table(table),
      m_actions(std::move(actions)), m_frame(new FocusFrame(scrollBox->widget()))
{
    const auto *content = scrollBox->widget();
    for (QWidget *w : content->findChildren<QWidget *>()) {
        if (w != m_frame && w != table && !table->isAncestorOf(w))
            w->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, [this] { placeFrame(); });

    // Window shortcuts: they reach the sheet before the focused text or the cell editor,
    // which would take Ctrl+Tab for the next cell.
    const auto shortcut = [sheet](QKeySequence keys, auto slot) {
        auto *s = new QShortcut(keys, sheet);
        s->setContext(Qt::WindowShortcut);
        QObject::connect(s, &QShortcut::activated, sheet, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { Move(true); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [this] { Move(false); });
    shortcut(QKeySequence(Qt::Key_F10), [this] {
        if (m_actions.commandPanel)
            m_actions.commandPanel(FocusedArea());
    });
    connect(table, &EditTextGrid::DialogKeyPressed, this, [this] {
        if (m_actions.tableDialog)
            m_actions.tableDialog();
    });
}

std::vector<QWidget *> SheetKeyboard::Stops() const
{
    std::vector<QWidget *> stops;
    readingOrder(m_scrollBox->widget(), m_sheet, stops);
    return stops;
}

bool SheetKeyboard::Move(bool forward)
{
    const std::vector<QWidget *> stops = Stops();
    if (stops.empty())
        return false;
    const QWidget *focused = m_sheet->focusWidget();
    auto at = std::find(stops.begin(), stops.end(), focused);
    if (at == stops.end() && focused && m_table->isAncestorOf(focused))
        at = std::find(stops.begin(), stops.end(), m_table);
    const auto n = std::ptrdiff_t(stops.size());
    std::ptrdiff_t i = at - stops.begin();
    if (at == stops.end())
        i = forward ? 0 : n - 1;
    else
        i = (i + (forward ? 1 : n - 1)) % n;
    focus(stops[size_t(i)], forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void SheetKeyboard::focus(QWidget *stop, Qt::FocusReason reason)
{
    m_keyed = stop == m_table ? nullptr : stop;
    m_scrollBox->ensureWidgetVisible(stop, 0, 0);
    stop->setFocus(reason);
    if (stop == m_table)
        m_table->OpenCurrentEditor();
    placeFrame();
}

QRect SheetKeyboard::onScreen(const QWidget *widget) const
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

QRect SheetKeyboard::FocusedArea() const
{
    QWidget *focused = m_sheet->focusWidget();
    if (focused && (focused == m_table || m_table->isAncestorOf(focused))) {
        const QRect cell = m_table->visualRect(m_table->currentIndex());
        return QRect(m_table->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    return onScreen(focused ? focused : m_sheet);
}

void SheetKeyboard::Activate(QWidget *stop)
{
    if (m_actions.activate)
        m_actions.activate(stop, onScreen(stop));
}

void SheetKeyboard::Follow(QWidget *stop)
{
    if (m_keyed)
        m_keyed = stop;
    stop->setFocus(Qt::OtherFocusReason);
    placeFrame();
}

QWidget *SheetKeyboard::Framed() const
{
    return m_keyed && m_sheet->focusWidget() == m_keyed ? m_keyed.data() : nullptr;
}

void SheetKeyboard::placeFrame()
{
    QWidget *framed = Framed();
    if (!framed) {
        m_frame->hide();
        return;
    }
    const QPoint at = framed->mapTo(m_scrollBox->widget(), QPoint(0, 0));
    m_frame->setGeometry(QRect(at, framed->size()).adjusted(-2, -1, 2, 1));
    m_frame->raise();
    m_frame->show();
}

bool SheetKeyboard::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        if (activates(key)) {
            m_keyed = widget;
            placeFrame();
            Activate(widget);
            return true;
        }
        if (key->key() == Qt::Key_Menu && m_actions.commandPanel) {
            m_actions.commandPanel(onScreen(widget));
            return true;
        }
        // Any other key shows where the keyboard is.
        m_keyed = widget;
        placeFrame();
        break;
    }
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (m_keyed && (widget == m_keyed || widget->isAncestorOf(m_keyed)))
            placeFrame();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
