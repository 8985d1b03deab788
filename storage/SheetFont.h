#pragma once

#include "Colors.h"

#include <QString>
#include <array>

// A font as the sheet files know it: face, size in whole points, stored colour and style.
// It converts to and from the toolkit's font at the widget edge only.
struct FontStyles
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const FontStyles &) const = default;
};

struct SheetFont
{
    QString name = QStringLiteral("MS Sans Serif");
    int size = 8;
    qint32 color = Colors::WindowText;
    FontStyles style;
    bool operator==(const SheetFont &) const = default;
};

// The style combinations "FontStyle" can name, by index; none has strike-out.
extern const std::array<FontStyles, 8> FontStyleTable;

// The first row of the table that matches the font's style exactly; 0 when none does
// (any style with strike-out), so such a font is stored as regular.
int FontStyleIndex(const SheetFont &font);
