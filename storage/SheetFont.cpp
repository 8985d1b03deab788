#include "SheetFont.h"

const std::array<FontStyles, 8> FontStyleTable{{
    {false, false, false, false}, // regular
    {true, false, false, false},  // bold
    {false, true, false, false},  // italic
    {false, false, true, false},  // underline
    {true, true, false, false},   // bold, italic
    {false, true, true, false},   // italic, underline
    {true, false, true, false},   // bold, underline
    {true, true, true, false},    // bold, italic, underline
}};

int FontStyleIndex(const SheetFont &font)
{
    for (int i = 0; i < int(FontStyleTable.size()); ++i) {
        if (FontStyleTable[i] == font.style)
            return i;
    }
    return 0;
}
