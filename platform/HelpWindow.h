#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help viewer: a short user guide built into the program, opened at a
// topic number.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    HelpWindow();
    void showTopic(int context);
    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
