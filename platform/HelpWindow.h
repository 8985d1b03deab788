#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help viewer: a short user guide built into the program, opened at a
// topic number. Like a help viewer of its own, it stays usable while a modal window (the
// About window it is opened from) is open.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    HelpWindow();
    void showTopic(int context);
    QTextBrowser *browser() const { return m_browser; }

protected:
    bool event(QEvent *event) override;

private:
    QTextBrowser *m_browser;
};
