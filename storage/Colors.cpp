#include "Colors.h"

#include <array>

namespace Colors {

namespace {

// The classic desktop scheme's shades.
constexpr std::array<SystemColor, 30> table{{
    {"clScrollBar", systemColor(0), 0xC8C8C8},
    {"clBackground", systemColor(1), 0x000000},
    {"clActiveCaption", systemColor(2), 0x99B4D1},
    {"clInactiveCaption", systemColor(3), 0xBFCDDB},
    {"clMenu", systemColor(4), 0xF0F0F0},
    {"clWindow", systemColor(5), 0xFFFFFF},
    {"clWindowFrame", systemColor(6), 0x646464},
    {"clMenuText", systemColor(7), 0x000000},
    {"clWindowText", systemColor(8), 0x000000},
    {"clCaptionText", systemColor(9), 0x000000},
    {"clActiveBorder", systemColor(10), 0xB4B4B4},
    {"clInactiveBorder", systemColor(11), 0xF4F7FC},
    {"clAppWorkSpace", systemColor(12), 0xABABAB},
    {"clHighlight", systemColor(13), 0x3399FF},
    {"clHighlightText", systemColor(14), 0xFFFFFF},
    {"clBtnFace", systemColor(15), 0xF0F0F0},
    {"clBtnShadow", systemColor(16), 0xA0A0A0},
    {"clGrayText", systemColor(17), 0x6D6D6D},
    {"clBtnText", systemColor(18), 0x000000},
    {"clInactiveCaptionText", systemColor(19), 0x000000},
    {"clBtnHighlight", systemColor(20), 0xFFFFFF},
    {"cl3DDkShadow", systemColor(21), 0x696969},
    {"cl3DLight", systemColor(22), 0xE3E3E3},
    {"clInfoText", systemColor(23), 0x000000},
    {"clInfoBk", systemColor(24), 0xFFFFE1},
    {"clHotLight", systemColor(26), 0x0066CC},
    {"clGradientActiveCaption", systemColor(27), 0xB9D1EA},
    {"clGradientInactiveCaption", systemColor(28), 0xD7E4F2},
    {"clMenuHighlight", systemColor(29), 0x3399FF},
    {"clMenuBar", systemColor(30), 0xF0F0F0},
}};

} // namespace

std::span<const SystemColor> systemColors()
{
    return table;
}

std::optional<SystemColor> findSystemColor(qint32 code)
{
    for (const SystemColor &c : table) {
        if (c.code == code)
            return c;
    }
    return std::nullopt;
}

quint32 toRgb(qint32 color)
{
    if (color < 0) {
        const auto sys = findSystemColor(color);
        return sys ? sys->rgb : 0x000000;
    }
    const quint32 bgr = quint32(color);
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

qint32 fromRgb(quint32 rgb)
{
    return qint32(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

} // namespace Colors
