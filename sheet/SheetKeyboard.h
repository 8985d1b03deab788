#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <vector>

class EditTextGrid;
class QScrollArea;
class QWidget;

// The sheet without a mouse. Tab and Shift+Tab run through the sheet's stops in reading
// order: every text that a click edits, the logo while there is one, and the line-item table
// as one stop (inside it Tab moves between cells; Ctrl+Tab and Ctrl+Shift+Tab leave it). A
// text reached by the keyboard wears a dotted frame, on screen only (the printout is drawn
// from the file). Return, Space or F2 on a text does what a click does, F2 in the table what
// a double-click does; F10, or the Menu key on a text, calls up the command panel there.
class SheetKeyboard : public QObject
{
    Q_OBJECT
public:
    struct Actions {
        std::function<void(QWidget *stop, QRect onScreen)> activate; // a click on the stop
        std::function<void(QRect onScreen)> commandPanel;           // the panel at that place
        std::function<void()> tableDialog;                          // a double-click on the table
    };
    // The stops are the widgets under content that take the focus by Tab.
    SheetKeyboard(QWidget *sheet, QScrollArea *scrollBox, EditTextGrid *table, Actions actions);

    // The stops as the sheet stands now (texts grow, the header moves with the logo, hidden
    // texts are skipped): line by line from the top, left to right within a line, a framed
    // block's texts after its caption.
    std::vector<QWidget *> Stops() const;
    // Moves the focus to the next or the previous stop; false when there is none.
    bool Move(bool forward);
    // Where the focused element is on the screen: a text, or the table's current cell.
    QRect FocusedArea() const;
    // What a click on the stop does, its editor placed below it (a screen reader's press).
    void Activate(QWidget *stop);
    // The stop that wears the frame now, if any.
    QWidget *Framed() const;
    // The keyboard's place moves to stop, which took the place of the text it was on (a logo
    // just set): stop takes the focus, and the frame when the keyboard had it.
    void Follow(QWidget *stop);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *widget);
    void focus(QWidget *stop, Qt::FocusReason reason);
    void placeFrame();
    QRect onScreen(const QWidget *widget) const;

    QWidget *m_sheet;
    QScrollArea *m_scrollBox;
    EditTextGrid *m_table;
    Actions m_actions;
    QWidget *m_frame;
    // The text the keyboard moved to last; it is framed while it holds the sheet's focus.
    QPointer<QWidget> m_keyed;
};
