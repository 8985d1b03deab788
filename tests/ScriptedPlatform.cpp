#include "ScriptedPlatform.h"

#include <QDialog>

MsgResult ScriptedPlatform::messageBox(QWidget *, const QString &caption, const QString &text,
                                       MsgIcon icon, MsgButtons buttons)
{
    messages.push_back({caption, text, icon, buttons});
    if (messageAnswers.empty())
        return MsgResult::Ok;
    const MsgResult r = messageAnswers.front();
    messageAnswers.pop_front();
    return r;
}

std::optional<QString> ScriptedPlatform::nextFile(const FileDialogOptions &o)
{
    fileDialogs.push_back(o);
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
