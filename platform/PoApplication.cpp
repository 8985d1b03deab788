#include "PoApplication.h"

#include "AppError.h"
#include "Platform.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

template <class Work>
void guarded(Work &&work)
{
    try {
        work();
    } catch (const AppError &e) {
        PoApplication::showError(e.message());
    } catch (const std::exception &e) {
        PoApplication::showError(QString::fromLocal8Bit(e.what()));
    }
}

QString &programTitle()
{
    static QString title;
    return title;
}

// A signal handler may only write to a descriptor; the event loop reads the other end.
int endSignalPipe[2] = {-1, -1};

void onEndSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(endSignalPipe[1], &byte, 1);
}

} // namespace

void PoApplication::onEndRequest(std::function<void()> ending)
{
    if (endSignalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, endSignalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(endSignalPipe[0], QSocketNotifier::Read, instance());
    connect(notifier, &QSocketNotifier::activated, notifier, [ending = std::move(ending)] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(endSignalPipe[0], &byte, 1);
        guarded(ending);
    });
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    // Asked twice, the process ends at once: a program that no longer answers still goes.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

namespace {

QPointer<QWidget> ownerWindow;

// Called as a window is about to be mapped: it then still takes a transient parent.
void adoptWindow(QObject *receiver)
{
    auto *w = qobject_cast<QWidget *>(receiver);
    if (!w || !ownerWindow || w == ownerWindow || !w->isWindow())
        return;
    const Qt::WindowType type = w->windowType();
    if (type != Qt::Window && type != Qt::Dialog && type != Qt::Tool)
        return; // menus, tool tips and the like belong to whatever opened them
    QWindow *own = w->windowHandle();
    QWindow *owner = ownerWindow->windowHandle();
    if (own && owner && !own->transientParent())
        own->setTransientParent(owner);
}

} // namespace

void PoApplication::setOwnerWindow(QWidget *owner)
{
    ownerWindow = owner;
}

bool PoApplication::notify(QObject *receiver, QEvent *event)
{
    if (event->type() == QEvent::Show)
        adoptWindow(receiver);
    bool handled = false;
    guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void PoApplication::runCommand(const std::function<void()> &command)
{
    guarded(command);
}

void PoApplication::runCommandLater(QObject *context, std::function<void()> command)
{
    QMetaObject::invokeMethod(context, [command = std::move(command)] { guarded(command); },
                              Qt::QueuedConnection);
}

void PoApplication::setTitle(const QString &title)
{
    programTitle() = title;
}

QString PoApplication::title()
{
    return programTitle().isEmpty() ? QApplication::applicationDisplayName() : programTitle();
}

void PoApplication::showError(const QString &message)
{
    platform().messageBox(QApplication::activeWindow(), title(), message, MsgIcon::Error, MsgButtons::Ok);
}
