#pragma once

#include "Platform.h"

#include <QStringList>
#include <deque>

// A platform for tests: it answers from scripts, records what was asked, and never
// sleeps or waits on a person. Installed for its lifetime.
class ScriptedPlatform : public Platform
{
public:
    ScriptedPlatform() { setPlatform(this); }
    ~ScriptedPlatform() override { setPlatform(nullptr); }

    struct Message
    {
        QString caption, text;
        MsgIcon icon;
        MsgButtons buttons;
        QStringList answers; // a named-answers question's
        int defaultAnswer = -1;
    };

    // Scripts, taken from the front; an empty script answers Ok / cancels / keeps the font.
    std::deque<MsgResult> messageAnswers;
    std::deque<std::optional<int>> askAnswers; // an empty script gives no answer
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<SheetFont>> fontAnswers;
    std::function<int(QDialog *)> onModal; // default: closed at once (rejected)
    std::function<void(QDialog *)> onPreview; // default: closed at once

    // What was asked.
    std::vector<Message> messages;
    std::vector<FileDialogOptions> fileDialogs;
    std::vector<SheetFont> fontDialogs;
    qint64 pausedMs = 0;
    int busyDepth = 0;
    QStringList helpCalls;

    // The machine.
    QDateTime clock{QDate(2026, 12, 7), QTime(14, 5)};
    QSize screen{1024, 768};
    QChar decimal = u'.';
    QChar dateSep = u'/';

    MsgResult messageBox(QWidget *, const QString &caption, const QString &text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<int> ask(QWidget *, const QString &caption, const QString &text, MsgIcon icon,
                           const QStringList &answers, int defaultAnswer) override;
    std::optional<QString> openFileName(QWidget *, const FileDialogOptions &o) override;
    std::optional<QString> saveFileName(QWidget *, const FileDialogOptions &o) override;
    std::optional<QString> pictureFileName(QWidget *, const FileDialogOptions &o) override;
    bool chooseFont(QWidget *, SheetFont &font) override;
    int execModal(QDialog *dialog) override;
    void runPreview(QDialog *preview) override;
    int previews = 0;
    std::function<void()> onPause; // after each pause is counted
    void pause(int ms) override
    {
        pausedMs += ms;
        if (onPause)
            onPause();
    }
    QDateTime now() override { return clock; }
    QSize screenSize() override { return screen; }
    QChar decimalSeparator() override { return decimal; }
    QChar dateSeparator() override { return dateSep; }
    void setBusyCursor(bool busy) override { busyDepth += busy ? 1 : -1; }
    void showHelp(const QString &file, int context) override;
    void quitHelp() override { helpCalls << QStringLiteral("quit"); }
    struct Mail
    {
        QString recipient, subject, attachment;
    };
    std::vector<Mail> mails;
    bool mailProgram = true; // whether there is one to take a message
    std::function<void(const Mail &)> onMail; // while the attachment is there
    QString composeMail(const QString &recipient, const QString &subject, const QString &attachment) override
    {
        mails.push_back({recipient, subject, attachment});
        if (onMail)
            onMail(mails.back());
        return mailProgram ? QString() : QStringLiteral("No mail program is set up.");
    }

private:
    std::optional<QString> nextFile(const FileDialogOptions &o);
};
