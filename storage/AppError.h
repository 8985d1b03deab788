#pragma once

#include <QString>
#include <stdexcept>

// The program reports failures as exceptions carrying a user-facing message; whoever
// starts a command catches them and shows the text in a message box.
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};
