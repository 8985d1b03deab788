#include "StartupSheet.h"

#include "GenUtils.h"

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

} // namespace StartupSheet
