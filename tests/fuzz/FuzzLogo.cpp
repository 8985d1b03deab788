// The logo loader on damaged pictures of every type: no crash, no hang. The first byte
// picks the file type.

#include "LogoLoader.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir *folder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv); // text in metafiles needs fonts
    folder = new QTemporaryDir;
    std::atexit([] { delete folder; }); // libFuzzer ends with exit(): remove the folder then
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const types[] = {"jpg", "bmp", "ico", "emf", "wmf"};
    const QString path = folder->filePath(QStringLiteral("logo.") + QLatin1StringView(types[data[0] % 5]));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    file.close();
    (void)LogoLoader::load(path);
    QFile::remove(path);
    return 0;
}
