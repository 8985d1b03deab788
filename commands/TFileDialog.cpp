#include "TFileDialog.h"

namespace {

bool run(TFileDialog &d, const std::optional<QString> &chosen)
{
    if (!chosen)
        return false;
    d.FileName = *chosen;
    return true;
}

FileDialogOptions withName(const TFileDialog &d)
{
    FileDialogOptions o = d.Options;
    o.fileName = d.FileName;
    return o;
}

} // namespace

bool TFileDialog::ExecuteOpen(QWidget *owner)
{
    return run(*this, platform().openFileName(owner, withName(*this)));
}

bool TFileDialog::ExecuteSave(QWidget *owner)
{
    return run(*this, platform().saveFileName(owner, withName(*this)));
}
