#pragma once

#include <QImage>
#include <QString>
#include <optional>

// Loads a logo picture file for the sheet and the printout; a file that cannot be read
// as a picture gives nothing, never an error.
namespace LogoLoader {

std::optional<QImage> load(const QString &path);

} // namespace LogoLoader
