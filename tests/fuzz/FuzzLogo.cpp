// The logo loader on damaged pictures of every type, in memory: no crash, no hang, no
// allocation past the fuzzer's limit. The first byte picks the file type.

#include "LogoLoader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv); // text in metafiles needs fonts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Nothing larger is a logo the loader would read; the fuzzer need not try.
    if (size == 0 || size > 256 * 1024)
        return 0;
    static const char16_t *const types[] = {u"jpg", u"bmp", u"ico", u"emf", u"wmf"};
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    (void)LogoLoader::decode(bytes, QStringView(types[data[0] % 5]));
    return 0;
}
