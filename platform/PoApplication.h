#pragma once

#include <QApplication>
#include <functional>

// The application object. An error that no command catches is shown in a message box
// and the program goes on, instead of ending it.
class PoApplication : public QApplication
{
    Q_OBJECT
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the message of an error that reached the event loop, under the program's title.
    static void showError(const QString &message);

    // The program's title, which its error messages carry; until one is set, Qt's display
    // name (which is the program file's name).
    static void setTitle(const QString &title);
    static QString title();

    // Runs a user's command; an error it raises is shown and the program goes on.
    static void runCommand(const std::function<void()> &command);

    // Runs a command once the event being handled has returned, unless context is gone by
    // then. For commands that open a modal window from a widget's event or signal: the
    // nested loop may delete that widget (an item view's editor loses focus and goes) or
    // deliver it another event, and the handler must not be on the stack then.
    static void runCommandLater(QObject *context, std::function<void()> command);

    // Every other window the program shows (the panel, a dialog without an owner, the
    // progress window) is shown as a transient child of owner, the sheet: a window manager
    // keeps it above the sheet, and a Wayland compositor treats it as the sheet's pop-up.
    static void setOwnerWindow(QWidget *owner);

    // Runs ending on the event loop when the process is asked to end (SIGTERM, SIGHUP, SIGINT:
    // a log-out without a session manager, a shutdown), instead of dying where it stands.
    static void onEndRequest(std::function<void()> ending);
    // The program is ending (a log-out, a signal): pauses return at once and a load stops
    // where it is, so that the end is not held up by them.
    static void setEnding() { endingFlag() = true; }
    static bool ending() { return endingFlag(); }

private:
    static bool &endingFlag()
    {
        static bool flag = false;
        return flag;
    }
};
