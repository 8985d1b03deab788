#include "StartupSheet.h"

#include "GenUtils.h"

namespace StartupSheet {

QString Choose(const TIniFile &config)
{
    if (config.readBool(Section, AutoLoad, false))
        return config.readString(Section, AutoLoadFile, AppFile(ConfigFileName));
    return FirstExistingFile(u"blank.ini", u"template.ini", ConfigFileName);
}

} // namespace StartupSheet
