#include "TCaptionSaver.h"

#include "GenUtils.h"

namespace {
constexpr auto TextValue = u"TextValue";
}

TCaptionSaver::TCaptionSaver(QObject *owner) : TCaptionSaver(owner, ProgramFilePath()) {}

TCaptionSaver::TCaptionSaver(QObject *owner, const QString &chosenFileName)
    : TIniStore(owner, chosenFileName, Kind::Caption)
{
}

void TCaptionSaver::WriteText(QStringView section)
{
    IniFile()->writeString(section, TextValue, CurrentText);
}

void TCaptionSaver::SaveText(QStringView section, const QString &text)
{
    SetText(text);
    WriteText(section);
}

QString TCaptionSaver::ReadText(QStringView section)
{
    return ReadTextDefault(section, DefaultText);
}

QString TCaptionSaver::ReadTextDefault(QStringView section, const QString &defaultText)
{
    CurrentText = IniFile()->readString(section, TextValue, defaultText);
    return CurrentText;
}
