#include "LogoLoader.h"

#include "MetafileLogo.h"
#include "SafeFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include <jpeglib.h>


namespace LogoLoader {

namespace {

// A JPEG is decoded at 1/2, 1/4 or 1/8 of its size while it stays this large, since neither
// the sheet nor a printed page shows more.
constexpr int EnoughSide = 1500;

// libjpeg's default error handler ends the process; this one jumps back instead, and
// every warning (a truncated or corrupt stream) is a failure at once: libjpeg would go on
// filling every remaining row of a picture that is already refused.
struct JpegErrors
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Called between scans and rows: a picture that is still not decoded when its time is up
// (many progressive scans can take minutes) is given up as damaged.
struct JpegProgress
{
    jpeg_progress_mgr pub;
    qint64 deadline;
};

void jpegProgress(j_common_ptr cinfo)
{
    if (monotonicMs() > reinterpret_cast<JpegProgress *>(cinfo->progress)->deadline)
        cinfo->err->error_exit(cinfo);
}

void jpegErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegErrors *>(cinfo->err)->jump, 1);
}

void jpegMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        cinfo->err->error_exit(cinfo);
}

struct Raster
{
    unsigned char *pixels = nullptr;
    int width = 0, height = 0, components = 0;
    bool cmyk = false;
    bool invertedCmyk = false;
};

// Plain C from setjmp to the end, so that a jump back skips no destructor.
bool decodeJpeg(const unsigned char *data, size_t size, Raster *out)
{
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jpegErrorExit;
    errors.pub.emit_message = jpegMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    JpegProgress progress;
    progress.pub.progress_monitor = jpegProgress;
    progress.deadline = monotonicMs() + DecodeBudgetMs;
    cinfo.progress = &progress.pub;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    out->cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    out->invertedCmyk = out->cmyk && cinfo.saw_Adobe_marker;
    cinfo.out_color_space = out->cmyk ? JCS_CMYK : JCS_RGB;
    if (!sizeAcceptable(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    const unsigned longest = std::max(cinfo.image_width, cinfo.image_height);
    while (cinfo.scale_denom < 8 && longest / (cinfo.scale_denom * 2) >= unsigned(EnoughSide))
        cinfo.scale_denom *= 2;
    jpeg_start_decompress(&cinfo);
    out->width = int(cinfo.output_width);
    out->height = int(cinfo.output_height);
    out->components = cinfo.output_components;
    const size_t stride = size_t(out->width) * size_t(out->components);
    out->pixels = static_cast<unsigned char *>(std::malloc(stride * size_t(out->height)));
    if (!out->pixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->pixels + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

std::optional<QImage> loadJpeg(const QByteArray &bytes)
{
    Raster r;
    if (!decodeJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()),
                    size_t(bytes.size()), &r)) {
        std::free(r.pixels);
        return std::nullopt;
    }
    QImage image(r.width, r.height, QImage::Format_RGB32);
    for (int y = 0; y < r.height; ++y) {
        const unsigned char *src = r.pixels + size_t(y) * size_t(r.width) * size_t(r.components);
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < r.width; ++x, src += r.components) {
            if (r.components == 3) {
                dst[x] = qRgb(src[0], src[1], src[2]);
            } else if (r.components == 4) {
                // Adobe writes CMYK inverted; either way white is no ink.
                const int c = r.invertedCmyk ? src[0] : 255 - src[0];
                const int m = r.invertedCmyk ? src[1] : 255 - src[1];
                const int ye = r.invertedCmyk ? src[2] : 255 - src[2];
                const int k = r.invertedCmyk ? src[3] : 255 - src[3];
                dst[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
            } else {
                dst[x] = qRgb(src[0], src[0], src[0]);
            }
        }
    }
    std::free(r.pixels);
    return image;
}

std::optional<QImage> loadWithQt(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (size.isValid() && !sizeAcceptable(size.width(), size.height()))
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

std::optional<QImage> decode(const QByteArray &bytes, QStringView extension)
{
    const QString ext = extension.toString().toLower();
    if (bytes.size() > MaxFileBytes)
        return std::nullopt;
    if (ext == u"jpg" || ext == u"jpeg")
        return loadJpeg(bytes);
    if (ext == u"bmp")
        return loadWithQt(bytes, "bmp");
    if (ext == u"ico")
        return loadWithQt(bytes, "ico");
    if (ext == u"emf")
        return loadEmf(bytes);
    if (ext == u"wmf")
        return loadWmf(bytes);
    return std::nullopt;
}

std::optional<QImage> load(const QString &path)
{
    // Counted as read: stat says 0 for some files that never end (/proc), and a FIFO blocks.
    QByteArray bytes;
    struct stat st;
    if (path.isEmpty() ||
        SafeFile::read(QFile::encodeName(path), MaxFileBytes, bytes, st) != SafeFile::ReadStatus::Ok)
        return std::nullopt;
    return decode(bytes, QFileInfo(path).suffix());
}

} // namespace LogoLoader
