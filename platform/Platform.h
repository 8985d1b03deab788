#pragma once

// The seam to everything that waits on a person or depends on the machine: message boxes,
// file and font dialogs, running a window modally, pauses, the clock, the screen, the
// locale's separators, the busy cursor and help. The program runs on the Qt
// implementation; tests install a scripted one that answers prompts, records what was
// asked and never sleeps.

#include "SheetFont.h"

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

enum class MsgIcon { Information, Question, Warning, Error };
// YesNoDefaultNo: Return answers No, for a question whose Yes cannot be undone.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoDefaultNo };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileDialogOptions
{
    QString title;
    QString filter;     // "Purchase Orders (*.pof)|*.pof|All files (*.*)|*.*" style pairs
    QString defaultExt; // without the dot
    QString initialDir;
    QString fileName;   // proposed or last chosen
    bool mustExist = false;
    bool promptOverwrite = false;
    QStringList recent; // files offered besides the folder's own (full paths, latest first)
};

// The application's help file, which only the About window opens.
inline const QString HelpFileName = QStringLiteral("VARNEL.HLP");

class Platform
{
public:
    virtual ~Platform() = default;

    virtual MsgResult messageBox(QWidget *owner, const QString &caption, const QString &text,
                                 MsgIcon icon, MsgButtons buttons) = 0;
    // A question whose answers have names of their own (answers, left to right; Return
    // presses defaultAnswer): the index of the answer pressed, or nothing when none was:
    // Escape, the close box, or the program ending while it waits.
    virtual std::optional<int> ask(QWidget *owner, const QString &caption, const QString &text,
                                   MsgIcon icon, const QStringList &answers, int defaultAnswer) = 0;
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<QString> openFileName(QWidget *owner, const FileDialogOptions &o) = 0;
    virtual std::optional<QString> saveFileName(QWidget *owner, const FileDialogOptions &o) = 0;
    virtual std::optional<QString> pictureFileName(QWidget *owner, const FileDialogOptions &o) = 0;
    // Starts from font; true and the new font when the user confirmed.
    virtual bool chooseFont(QWidget *owner, SheetFont &font) = 0;
    // Runs a dialog modally and returns its result code.
    virtual int execModal(QDialog *dialog) = 0;
    // Shows a print preview maximized, without blocking the other windows, and returns
    // when it has closed or the program is ending.
    virtual void runPreview(QDialog *preview) = 0;

    virtual void pause(int milliseconds) = 0;
    virtual QDateTime now() = 0;
    virtual QSize screenSize() = 0;
    virtual QChar decimalSeparator() = 0;
    virtual QChar dateSeparator() = 0;
    virtual void setBusyCursor(bool busy) = 0;

    virtual void showHelp(const QString &helpFile, int context) = 0;
    virtual void quitHelp() = 0;

    // Hands a message to the desktop's mail program, for the user to finish and send: to
    // recipient (none when empty), with subject and the file attached. Empty when it was
    // given, else why not.
    virtual QString composeMail(const QString &recipient, const QString &subject, const QString &attachment) = 0;
};

// The platform in use: the Qt one unless a test installed another.
Platform &platform();
// Installs p (not owned) for everything that follows; nullptr goes back to the Qt one.
void setPlatform(Platform *p);
