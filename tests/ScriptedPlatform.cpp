#include "ScriptedPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace {

// What a real modal loop does to the rest of the program while it runs: the widget with
// the focus loses it (an item view's editor closes and is deleted), posted events run,
// deferred deletes included; when the loop ends the focus goes back.
class ModalLoop
{
public:
    ModalLoop() : m_focus(QApplication::focusWidget())
    {
        if (m_focus)
            m_focus->clearFocus();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    ~ModalLoop()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (m_focus)
            m_focus->setFocus();
    }
    ModalLoop(const ModalLoop &) = delete;
    ModalLoop &operator=(const ModalLoop &) = delete;

private:
    QPointer<QWidget> m_focus;
};

} // namespace

MsgResult ScriptedPlatform::messageBox(QWidget *, const QString &caption, const QString &text,
                                       MsgIcon icon, MsgButtons buttons)
{
    messages.push_back({caption, text, icon, buttons, {}, -1});
    const ModalLoop loop;
    if (messageAnswers.empty())
        return MsgResult::Ok;
    const MsgResult r = messageAnswers.front();
    messageAnswers.pop_front();
    return r;
}

std::optional<int> ScriptedPlatform::ask(QWidget *, const QString &caption, const QString &text,
                                         MsgIcon icon, const QStringList &answers, int defaultAnswer)
{
    messages.push_back({caption, text, icon, MsgButtons::Ok, answers, defaultAnswer});
    const ModalLoop loop;
    if (askAnswers.empty())
        return std::nullopt;
    const std::optional<int> r = askAnswers.front();
    askAnswers.pop_front();
    return r;
}

std::optional<QString> ScriptedPlatform::nextFile(const FileDialogOptions &o)
{
    fileDialogs.push_back(o);
    const ModalLoop loop;
    if (fileAnswers.empty())
        return std::nullopt;
    std::optional<QString> r;
    r.swap(fileAnswers.front());
    fileAnswers.pop_front();
    return r;
}

std::optional<QString> ScriptedPlatform::openFileName(QWidget *, const FileDialogOptions &o)
{
    return nextFile(o);
}

std::optional<QString> ScriptedPlatform::saveFileName(QWidget *, const FileDialogOptions &o)
{
    return nextFile(o);
}

std::optional<QString> ScriptedPlatform::pictureFileName(QWidget *, const FileDialogOptions &o)
{
    return nextFile(o);
}

bool ScriptedPlatform::chooseFont(QWidget *, SheetFont &font)
{
    fontDialogs.push_back(font);
    const ModalLoop loop;
    if (fontAnswers.empty())
        return false;
    const auto r = fontAnswers.front();
    fontAnswers.pop_front();
    if (!r)
        return false;
    font = *r;
    return true;
}

int ScriptedPlatform::execModal(QDialog *dialog)
{
    const ModalLoop loop;
    if (onModal)
        return onModal(dialog);
    dialog->reject(); // the person closes it at once
    return dialog->result();
}

void ScriptedPlatform::showHelp(const QString &file, int context)
{
    helpCalls << file + u'#' + QString::number(context);
}

void ScriptedPlatform::runPreview(QDialog *preview)
{
    ++previews;
    if (onPreview)
        onPreview(preview);
}
