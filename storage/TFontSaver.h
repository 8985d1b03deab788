#pragma once

#include "SheetFont.h"
#include "TIniStore.h"

#include <optional>

// Keeps one font per INI section, under "FontColor", "FontName", "FontSize" and
// "FontStyle", writing through to the file at once.
class TFontSaver : public TIniStore
{
    Q_OBJECT
public:
    explicit TFontSaver(QObject *owner);
    TFontSaver(QObject *owner, const QString &chosenFileName);

    // The font WriteFont writes becomes font. The store keeps its own copy rather than a
    // reference, so a caller's font that goes away can never be written.
    void SetFont(const SheetFont &font) { m_callerFont = font; }
    void WriteFont(QStringView section);
    void SaveFont(QStringView section, const SheetFont &font);

    static constexpr int MinFontSize = 1;
    static constexpr int MaxFontSize = 400;

    // Reads each key with the matching property of defaults as its default, so a missing
    // key keeps the element's present value. A "FontStyle" outside 0..7 names no style and
    // a "FontSize" outside 1..400 points no usable size: both count as missing. The result
    // is the store's own font.
    SheetFont ReadFont(QStringView section, const SheetFont &defaults);

    const SheetFont &CurrentFont() const { return m_callerFont ? *m_callerFont : m_ownFont; }

private:
    SheetFont m_ownFont;                    // filled by ReadFont
    std::optional<SheetFont> m_callerFont;  // set by SetFont/SaveFont
};
