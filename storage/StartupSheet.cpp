#include "StartupSheet.h"

#include "GenUtils.h"

#include <QFileInfo>

namespace StartupSheet {

QString Choose(const TIniFile &config)
{
    if (config.readBool(Section, AutoLoad, false)) {
        // An empty name is no file: every later write would go nowhere.
        const QString file = config.readString(Section, AutoLoadFile, QString());
        return file.isEmpty() ? AppFile(ConfigFileName) : file;
    }
    return FirstExistingFile(u"blank.ini", u"template.ini", ConfigFileName);
}

QString OrderProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("%1 was not found. It was not loaded.").arg(path);
    if (!info.isFile())
        return QStringLiteral("%1 is not a purchase order file. It was not loaded.").arg(path);
    return TIniFile(path).readProblem();
}

} // namespace StartupSheet
