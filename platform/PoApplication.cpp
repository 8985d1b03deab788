#include "PoApplication.h"

#include "AppError.h"
#include "Platform.h"

bool PoApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    runCommand([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void PoApplication::runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const AppError &e) {
        showError(e.message());
    } catch (const std::exception &e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
}

void PoApplication::showError(const QString &message)
{
    platform().messageBox(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          message, MsgIcon::Error,
                          MsgButtons::Ok);
}
