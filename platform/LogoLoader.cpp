#include "LogoLoader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

extern "C" {
#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>
}

namespace LogoLoader {

namespace {

// Larger files or pictures are not logos; refusing them keeps the program responsive.
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
constexpr qint64 MaxPixels = 40'000'000;
constexpr int MaxSide = 20000;

bool sizeAcceptable(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide &&
           width * height <= MaxPixels;
}

// libjpeg's default error handler ends the process; this one jumps back instead, and
// every warning (a truncated or corrupt stream) counts as a failure.
struct JpegErrors
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegErrors *>(cinfo->err)->jump, 1);
}

void jpegMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        ++cinfo->err->num_warnings;
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
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    out->cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    out->invertedCmyk = out->cmyk && cinfo.saw_Adobe_marker;
    cinfo.out_color_space = out->cmyk ? JCS_CMYK : JCS_RGB;
    if (!sizeAcceptable(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
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
    const bool clean = errors.pub.num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return clean;
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

std::optional<QImage> renderSvg(const QByteArray &svg)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return std::nullopt;
    const QSize size = renderer.defaultSize();
    if (!sizeAcceptable(size.width(), size.height()))
        return std::nullopt;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

quint32 le32(const QByteArray &b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 |
           quint32(uchar(b[at + 2])) << 16 | quint32(uchar(b[at + 3])) << 24;
}

// An enhanced metafile starts with its header record, which names the file's length.
bool looksLikeEmf(const QByteArray &b)
{
    return b.size() >= 88 && le32(b, 0) == 1 && le32(b, 4) >= 88 && le32(b, 4) <= quint32(b.size()) &&
           b.mid(40, 4) == " EMF" && le32(b, 48) <= quint32(b.size()) && le32(b, 48) >= 88;
}

// The converter trusts the lengths inside text and font records and reads past the file
// when they lie; so every record must lie inside the file and every string inside its record.
bool emfRecordsHold(const QByteArray &b)
{
    const quint64 end = le32(b, 48);
    const auto within = [](quint64 offset, quint64 length, quint64 size) {
        return offset <= size && length <= size - offset;
    };
    for (quint64 at = 0; at < end;) {
        if (end - at < 8)
            return false;
        const quint32 type = le32(b, int(at)), size = le32(b, int(at) + 4);
        if (size < 8 || size % 4 != 0 || size > end - at)
            return false;
        const int r = int(at);
        switch (type) {
        case 1: { // the header, with its UTF-16 description
            if (size < 88)
                return false;
            // Without a length the converter reads the description up to a terminator.
            const quint64 chars = le32(b, r + 60), offset = le32(b, r + 64);
            if ((offset != 0 && chars == 0) || (chars > 0 && !within(offset, chars * 2, size)))
                return false;
            break;
        }
        case 82: // a font: its LOGFONTW with the face name follows the handle
            if (size < 12 + 92)
                return false;
            break;
        case 83: // ExtTextOutA and ExtTextOutW: the EMRTEXT at 36 names its string
        case 84: {
            if (size < 76)
                return false;
            const quint64 chars = le32(b, r + 44), offset = le32(b, r + 48), dx = le32(b, r + 72);
            if (!within(offset, chars * (type == 84 ? 2 : 1), size) ||
                (dx != 0 && !within(dx, chars * 4, size)))
                return false;
            break;
        }
        case 96: // PolyTextOut and SmallTextOut: layouts a logo does not need
        case 97:
        case 108:
            return false;
        default:
            break;
        }
        at += size;
    }
    return true;
}

std::optional<QImage> loadEmf(const QByteArray &bytes)
{
    if (!looksLikeEmf(bytes) || !emfRecordsHold(bytes))
        return std::nullopt;
    QByteArray contents = bytes.left(qsizetype(le32(bytes, 48)));
    generatorOptions options{};
    options.nameSpace = const_cast<char *>("");
    options.svgDelimiter = true;
    char *svg = nullptr;
    size_t length = 0;
    const int ok = emf2svg(contents.data(), size_t(contents.size()), &svg, &length, &options);
    std::optional<QImage> image;
    if (ok && svg && length > 0)
        image = renderSvg(QByteArray(svg, qsizetype(length)));
    std::free(svg);
    return image;
}

// A Windows metafile starts with the placeable key or with the standard header.
bool looksLikeWmf(const QByteArray &b)
{
    if (b.size() >= 22 + 18 && le32(b, 0) == 0x9AC6CDD7u)
        return true;
    return b.size() >= 18 && (uchar(b[0]) == 1 || uchar(b[0]) == 2) && b[1] == 0 &&
           uchar(b[2]) == 9 && b[3] == 0;
}

std::optional<QImage> loadWmf(QByteArray bytes)
{
    if (!looksLikeWmf(bytes))
        return std::nullopt;
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return std::nullopt;
    }
    std::optional<QImage> image;
    wmfD_Rect bbox;
    wmf_svg_t *ddata = WMF_SVG_GetData(api);
    unsigned int width = 0, height = 0;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char *>(bytes.data()), long(bytes.size())) ==
            wmf_E_None &&
        wmf_scan(api, 0, &bbox) == wmf_E_None &&
        wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None &&
        sizeAcceptable(width, height)) {
        ddata->out = wmf_stream_create(api, nullptr);
        ddata->Description = const_cast<char *>("logo");
        ddata->bbox = bbox;
        ddata->width = width;
        ddata->height = height;
        const bool played = wmf_play(api, 0, &bbox) == wmf_E_None;
        char *svg = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(api, ddata->out, &svg, &length);
        if (played && svg && length > 0)
            image = renderSvg(QByteArray(svg, qsizetype(length)));
        wmf_free(api, svg);
        wmf_mem_close(api);
    }
    wmf_api_destroy(api);
    return image;
}

} // namespace

std::optional<QImage> load(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > MaxFileBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const QString ext = info.suffix().toLower();
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

} // namespace LogoLoader
