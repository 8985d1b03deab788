#include "PoApplication.h"

#include "AppError.h"
#include "Platform.h"

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

} // namespace

bool PoApplication::notify(QObject *receiver, QEvent *event)
{
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

void PoApplication::showError(const QString &message)
{
    platform().messageBox(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          message, MsgIcon::Error,
                          MsgButtons::Ok);
}
