#pragma once

#include <QByteArray>
#include <QImage>
#include <chrono>
#include <optional>

// The logo loader's metafile half: EMF and WMF converted to SVG and drawn with Qt SVG,
// after checks that keep the converters inside the file and inside a memory budget; and the
// limits both halves share.
namespace LogoLoader {

// Larger pictures are not logos; refusing them keeps the program responsive.
inline constexpr qint64 MaxPixels = 40'000'000;
inline constexpr int MaxSide = 20000;

// Decoding that takes longer is given up: the window must stay responsive.
inline constexpr qint64 DecodeBudgetMs = 1000;

inline qint64 monotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline bool sizeAcceptable(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide &&
           width * height <= MaxPixels;
}

std::optional<QImage> loadEmf(const QByteArray &bytes);
std::optional<QImage> loadWmf(QByteArray bytes);

} // namespace LogoLoader
