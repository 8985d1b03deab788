#include "TFontSaver.h"

#include "GenUtils.h"
#include "IniBatch.h"

namespace {
constexpr auto FontColor = u"FontColor";
constexpr auto FontName = u"FontName";
constexpr auto FontSize = u"FontSize";
constexpr auto FontStyle = u"FontStyle";
} // namespace

TFontSaver::TFontSaver(QObject *owner) : TFontSaver(owner, ProgramFilePath()) {}

TFontSaver::TFontSaver(QObject *owner, const QString &chosenFileName)
    : TIniStore(owner, chosenFileName, Kind::Font)
{
}

void TFontSaver::WriteFont(QStringView section)
{
    const SheetFont &font = CurrentFont();
    TIniFile *file = IniFile();
    IniBatch batch; // the four keys reach the file together or not at all
    file->writeInteger(section, FontColor, font.color);
    file->writeString(section, FontName, font.name);
    file->writeInteger(section, FontSize, font.size);
    file->writeInteger(section, FontStyle, FontStyleIndex(font));
    batch.commit();
}

void TFontSaver::SaveFont(QStringView section, const SheetFont &font)
{
    SetFont(font);
    WriteFont(section);
}

SheetFont TFontSaver::ReadFont(QStringView section, const SheetFont &defaults)
{
    const TIniFile *file = IniFile();
    m_ownFont.color = file->readInteger(section, FontColor, defaults.color);
    const int fallback = FontStyleIndex(defaults);
    const int style = file->readInteger(section, FontStyle, fallback);
    m_ownFont.style = FontStyleTable[style >= 0 && style < 8 ? style : fallback];
    m_ownFont.name = file->readString(section, FontName, defaults.name);
    // A size no font can be drawn at (a hand-edited file) counts as missing.
    const int size = file->readInteger(section, FontSize, defaults.size);
    m_ownFont.size = size >= MinFontSize && size <= MaxFontSize ? size : defaults.size;
    return m_ownFont;
}
