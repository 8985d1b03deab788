#pragma once

#include <QImage>
#include <QString>
#include <QStringView>
#include <optional>

// Loads a logo picture file for the sheet and the printout, by its extension: JPEG
// through libjpeg, BMP and ICO through Qt's readers, EMF and WMF converted to SVG and
// drawn with Qt SVG. A file that is missing, damaged, truncated, mislabelled, of another
// type, or too large to be a logo gives nothing, never an error.
namespace LogoLoader {

std::optional<QImage> load(const QString &path);

// The same for a file's bytes, typed by its extension ("jpg", "bmp", ...), as read.
std::optional<QImage> decode(const QByteArray &bytes, QStringView extension);

// Larger files are not logos and are not read: 32 MB.
inline constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;

} // namespace LogoLoader
