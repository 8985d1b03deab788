#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <span>

// Colours as the sheet files store them: a signed 32-bit number, either a plain colour
// 0x00BBGGRR or a system colour, whose code has the top bit set and the system colour's
// index in the low byte.
namespace Colors {

constexpr qint32 White = 0x00FFFFFF;
constexpr qint32 Gray = 0x00808080;
constexpr qint32 Black = 0x00000000;

constexpr qint32 systemColor(int index)
{
    return qint32(0x80000000u | quint32(index));
}
constexpr qint32 WindowText = systemColor(8); // -2147483640
constexpr qint32 BtnFace = systemColor(15);

struct SystemColor
{
    const char *name;
    qint32 code;
    quint32 rgb; // 0xRRGGBB shown on this platform
};

// Every system colour a sheet file can name, with the shade this program draws for it.
std::span<const SystemColor> systemColors();

std::optional<SystemColor> findSystemColor(qint32 code);

// 0xRRGGBB for a stored colour; an unknown system code gives the window-text black.
quint32 toRgb(qint32 color);

// The stored form of an 0xRRGGBB colour.
qint32 fromRgb(quint32 rgb);

} // namespace Colors
