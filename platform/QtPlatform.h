#pragma once

#include "HelpWindow.h"
#include "Platform.h"

#include <memory>

// A filter of description and pattern pairs ("Text (*.a)|*.a;*.b") as a Qt name filter.
QString qtNameFilter(const QString &filter);

// The locale's separator itself when it is one character that Windows-1252 holds and that
// is no digit, sign or blank; fallback otherwise.
QChar FileSafeSeparator(QStringView separator, QChar fallback);

// The real desktop: Qt's message boxes and dialogs, the system clock and locale.
class QtPlatform : public Platform
{
public:
    MsgResult messageBox(QWidget *owner, const QString &caption, const QString &text,
                         MsgIcon icon, MsgButtons buttons) override;
    std::optional<int> ask(QWidget *owner, const QString &caption, const QString &text,
                           MsgIcon icon, const QStringList &answers, int defaultAnswer) override;
    std::optional<QString> openFileName(QWidget *owner, const FileDialogOptions &o) override;
    std::optional<QString> saveFileName(QWidget *owner, const FileDialogOptions &o) override;
    std::optional<QString> pictureFileName(QWidget *owner, const FileDialogOptions &o) override;
    bool chooseFont(QWidget *owner, SheetFont &font) override;
    int execModal(QDialog *dialog) override;
    void runPreview(QDialog *preview) override;

    void pause(int milliseconds) override;
    QDateTime now() override;
    QSize screenSize() override;
    QChar decimalSeparator() override;
    QChar dateSeparator() override;
    void setBusyCursor(bool busy) override;

    void showHelp(const QString &helpFile, int context) override;
    void quitHelp() override;
    QString composeMail(const QString &recipient, const QString &subject, const QString &attachment) override;

private:
    std::unique_ptr<HelpWindow> m_help;
};
