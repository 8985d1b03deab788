#include "QtPlatform.h"

#include "ClickGuard.h"
#include "FontConvert.h"
#include "HelpWindow.h"
#include "PoApplication.h"
#include "Win1252.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QFontDialog>
#include <QLocale>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

QtPlatform &qtPlatform()
{
    static QtPlatform p;
    return p;
}

Platform *current = nullptr;

// Swallows the user's input to every window while it lives.
class DropInput : public QObject
{
public:
    DropInput() { QCoreApplication::instance()->installEventFilter(this); }
    ~DropInput() override { QCoreApplication::instance()->removeEventFilter(this); }
    DropInput(const DropInput &) = delete;
    DropInput &operator=(const DropInput &) = delete;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }
};

// A message box whose Escape and close box give no answer at all: QMessageBox would press
// a button for them, or ignore them when none may stand for "not now".
class UnansweredBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel))
            reject();
        else
            QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override { QDialog::closeEvent(event); }
};

// The press that last answered one of the program's questions. The next question may open
// where that one was (the recovery question, then the list of other orders): the rest of a
// double- or triple-click must not answer it too.
std::optional<ClickGuard::Click> lastAnswer;

class AnswerRecorder : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            lastAnswer = ClickGuard::Click{mouse->globalPosition(), mouse->timestamp()};
        }
        return QObject::eventFilter(watched, event);
    }
};

// Records the press that answers box, and keeps the rest of the one that answered the last.
void guardAnswers(QMessageBox &box)
{
    QList<QWidget *> watched{&box};
    for (QAbstractButton *button : box.buttons())
        watched << button;
    auto *recorder = new AnswerRecorder(&box);
    for (QWidget *w : watched)
        w->installEventFilter(recorder);
    if (lastAnswer)
        (new ClickGuard(*lastAnswer, &box))->watch(&box);
}

const QMessageBox::Icon Icons[] = {QMessageBox::Information, QMessageBox::Question,
                                   QMessageBox::Warning, QMessageBox::Critical};

// Texts keep the program's own line breaks (CR LF or LF CR); show each as one break.
QString shownText(const QString &text)
{
    QString shown = text;
    return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
}

} // namespace

// "Text (*.a)|*.a|All (*.*)|*.*" as Qt reads it: "Text (*.a);;All (*.*)". Qt takes the
// patterns from the parentheses, split at blanks only, so each description gets its own
// patterns anew, split at ";" as well: "All (*.jpg;*.bmp)" would otherwise match no file.
QString qtNameFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
        const QStringList patterns = parts[i + 1].split(separators, Qt::SkipEmptyParts);
        if (patterns.isEmpty())
            continue; // an entry that matches nothing is no choice
        QString description = parts[i].trimmed();
        if (description.endsWith(u')') && description.contains(u'('))
            description = description.left(description.lastIndexOf(u'(')).trimmed();
        out << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

QString startPath(const FileDialogOptions &o)
{
    if (o.fileName.isEmpty())
        return o.initialDir;
    return o.initialDir.isEmpty() || QDir::isAbsolutePath(o.fileName)
               ? o.fileName
               : QDir(o.initialDir).filePath(o.fileName);
}

// The recent files in a row of the dialog's own ("Recent orders:", Alt+R): one chosen there
// is selected in its folder, ready to open. Their folders join the "Look in" list. A desktop's
// own dialog (a platform theme's) has its own recent list, read from the same place.
void offerRecent(QFileDialog &dialog, const QStringList &recent)
{
    auto *grid = qobject_cast<QGridLayout *>(dialog.layout());
    if (recent.isEmpty() || !grid)
        return;
    QStringList folders = dialog.history();
    auto *choice = new QComboBox(&dialog);
    choice->setObjectName(QStringLiteral("RecentFiles"));
    choice->addItem(QString());
    for (const QString &file : recent) {
        const QFileInfo info(file);
        choice->addItem(QStringLiteral("%1 (%2)").arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath())), file);
        if (!folders.contains(info.absolutePath()))
            folders << info.absolutePath();
    }
    dialog.setHistory(folders);
    auto *label = new QLabel(QStringLiteral("&Recent orders:"), &dialog);
    label->setBuddy(choice);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(choice, row, 1);
    QObject::connect(choice, &QComboBox::activated, &dialog, [&dialog, choice](int index) {
        const QFileInfo info(choice->itemData(index).toString());
        if (info.fileName().isEmpty())
            return;
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    });
}

std::optional<QString> runFileDialog(QWidget *owner, const FileDialogOptions &o,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, o.title, startPath(o), qtNameFilter(o.filter));
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(o.defaultExt);
    dialog.setFileMode(o.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!o.promptOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    offerRecent(dialog, o.recent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

Platform &platform()
{
    return current ? *current : qtPlatform();
}

void setPlatform(Platform *p)
{
    current = p;
}

MsgResult QtPlatform::messageBox(QWidget *owner, const QString &caption, const QString &text,
                                 MsgIcon icon, MsgButtons buttons)
{
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    if (buttons == MsgButtons::OkCancel)
        standard = QMessageBox::Ok | QMessageBox::Cancel;
    else if (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoDefaultNo)
        standard = QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(Icons[int(icon)], caption, shownText(text), standard, owner);
    if (buttons == MsgButtons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    guardAnswers(box);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Ok;
    }
}

std::optional<int> QtPlatform::ask(QWidget *owner, const QString &caption, const QString &text,
                                   MsgIcon icon, const QStringList &answers, int defaultAnswer)
{
    UnansweredBox box(Icons[int(icon)], caption, shownText(text), QMessageBox::NoButton, owner);
    QList<QAbstractButton *> buttons;
    for (const QString &answer : answers)
        buttons << box.addButton(answer, QMessageBox::ActionRole);
    if (defaultAnswer >= 0 && defaultAnswer < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons[defaultAnswer]));
    guardAnswers(box);
    box.exec();
    // Nothing pressed: Escape, the close box, or the loop ended under it (a log-out, a signal).
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return pressed < 0 ? std::nullopt : std::optional<int>(int(pressed));
}

std::optional<QString> QtPlatform::openFileName(QWidget *owner, const FileDialogOptions &o)
{
    return runFileDialog(owner, o, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPlatform::saveFileName(QWidget *owner, const FileDialogOptions &o)
{
    return runFileDialog(owner, o, QFileDialog::AcceptSave);
}

std::optional<QString> QtPlatform::pictureFileName(QWidget *owner, const FileDialogOptions &o)
{
    FileDialogOptions picture = o;
    picture.mustExist = true;
    return runFileDialog(owner, picture, QFileDialog::AcceptOpen);
}

bool QtPlatform::chooseFont(QWidget *owner, SheetFont &font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, FontConvert::forFontDialog(font), owner);
    if (!ok)
        return false;
    font = FontConvert::fromFontDialog(font, chosen);
    return true;
}

int QtPlatform::execModal(QDialog *dialog)
{
    return dialog->exec();
}

void QtPlatform::runPreview(QDialog *preview)
{
    QEventLoop loop;
    QObject::connect(preview, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
    preview->setWindowModality(Qt::NonModal);
    // Without a window manager "maximized" means nothing: take the screen's room first.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        preview->setGeometry(screen->availableGeometry());
    preview->showMaximized();
    loop.exec();
}

void QtPlatform::pause(int milliseconds)
{
    // The pause blocks the program as a sleep would, but keeps its windows painted. Clicks
    // and keys made meanwhile are dropped: kept for later, they opened their dialogs once the
    // pauses were over, one over another.
    const DropInput drop;
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired() && !PoApplication::ending()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(deadline.remainingTime()));
        QThread::msleep(std::min<qint64>(5, std::max<qint64>(0, deadline.remainingTime())));
    }
}

QDateTime QtPlatform::now()
{
    return QDateTime::currentDateTime();
}

QSize QtPlatform::screenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

QChar FileSafeSeparator(QStringView separator, QChar fallback)
{
    // Amounts and dates are stored in Windows-1252 and read back as numbers and dates: a
    // separator must survive that and must not be mistaken for part of the number.
    if (separator.size() != 1)
        return fallback;
    const QChar c = separator.at(0);
    if (c.isDigit() || c.isSpace() || c == u'+' || c == u'-' || c.category() == QChar::Other_Format)
        return fallback;
    if (c != u'?' && Win1252::encode(separator) == "?")
        return fallback;
    return c;
}

QChar QtPlatform::decimalSeparator()
{
    return FileSafeSeparator(QLocale().decimalPoint(), u'.');
}

QChar QtPlatform::dateSeparator()
{
    // The first character of the short date format that is no date letter.
    for (QChar c : QLocale().dateFormat(QLocale::ShortFormat)) {
        if (!c.isLetter() && !c.isSpace())
            return FileSafeSeparator(QStringView(&c, 1), u'/');
    }
    return u'/';
}

void QtPlatform::setBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// The help file named by the program has no viewer on this system; the program's own
// guide stands in for it.
void QtPlatform::showHelp(const QString &, int context)
{
    if (!m_help)
        m_help = std::make_unique<HelpWindow>();
    m_help->showTopic(context);
}

void QtPlatform::quitHelp()
{
    m_help.reset();
}

QString QtPlatform::composeMail(const QString &recipient, const QString &subject, const QString &attachment)
{
    // xdg-email finds the desktop's mail program; without one taking mailto: links it would
    // open a web browser or nothing at all, so the program asks xdg-mime first.
    const QString email = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    const QString none = QStringLiteral("No mail program is set up on this computer.");
    if (email.isEmpty() || mime.isEmpty())
        return none;
    QProcess query;
    query.start(mime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(10000) || query.exitCode() != 0 ||
        query.readAllStandardOutput().trimmed().isEmpty())
        return none;
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                          QStringLiteral("--attach"), attachment};
    if (!recipient.isEmpty())
        arguments << QStringLiteral("mailto:") + recipient; // never taken for an option
    // xdg-email may wait for the mail program it starts, which lives on after this program
    // ends: the process is never ended from here (no parent, gone once it has finished). A
    // failure shows within a few seconds; meanwhile the window paints but takes no input.
    auto *process = new QProcess;
    process->setProgram(email);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop wait;
    QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
    QTimer::singleShot(3000, &wait, &QEventLoop::quit);
    process->start();
    if (!process->waitForStarted(5000)) {
        process->deleteLater();
        return none;
    }
    setBusyCursor(true);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    setBusyCursor(false);
    if (process->state() != QProcess::NotRunning) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return QString(); // the mail program has it
    }
    process->deleteLater();
    if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
        return QStringLiteral("The mail program could not be given the order (xdg-email ended with %1).")
            .arg(process->exitCode());
    return QString();
}
