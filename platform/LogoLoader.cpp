#include "LogoLoader.h"

#include <QFileInfo>
#include <QImageReader>

namespace LogoLoader {

std::optional<QImage> load(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace LogoLoader
