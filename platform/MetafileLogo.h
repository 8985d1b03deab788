#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

// The logo loader's metafile half: EMF and WMF converted to SVG and drawn with Qt SVG,
// after checks that keep the converters inside the file and inside a memory budget.
namespace LogoLoader {

// Larger pictures are not logos; refusing them keeps the program responsive.
inline constexpr qint64 MaxPixels = 40'000'000;
inline constexpr int MaxSide = 20000;

inline bool sizeAcceptable(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide &&
           width * height <= MaxPixels;
}

std::optional<QImage> loadEmf(const QByteArray &bytes);
std::optional<QImage> loadWmf(QByteArray bytes);

} // namespace LogoLoader
