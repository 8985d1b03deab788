#include "MetafileLogo.h"

#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>
// libUEMF, which the EMF converter is built on, checks that a record's offsets and counts
// stay inside it; Debian ships its library without a header.
int U_emf_record_safe(const char *record);
}

namespace LogoLoader {

namespace {

// A metafile is drawn no larger: neither the sheet nor a printed page shows more.
constexpr int MaxRenderSide = 2000;
// Memory a metafile converter may hold at once.
constexpr size_t MetafileMemory = 64 * 1024 * 1024;

std::optional<QImage> renderSvg(const QByteArray &svg)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return std::nullopt;
    QSize size = renderer.defaultSize();
    if (!sizeAcceptable(size.width(), size.height()))
        return std::nullopt;
    if (size.width() > MaxRenderSide || size.height() > MaxRenderSide)
        size = size.scaled(MaxRenderSide, MaxRenderSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
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
// It also reads one record past the last unless that last is the end-of-file record.
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
        // The converter trusts each record's inner offsets (a bitmap's, for one).
        if (type >= 1 && type <= 122 && !U_emf_record_safe(b.constData() + r))
            return false;
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
        case 14: // the end of the file: the converter stops here
            return size >= 20;
        case 96: // PolyTextOut and SmallTextOut: layouts a logo does not need
        case 97:
        case 108:
            return false;
        default:
            break;
        }
        at += size;
    }
    return false;
}

} // namespace

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

namespace {

// A Windows metafile starts with the placeable key or with the standard header, whose
// largest record (in 16-bit words) must fit in the file: the converter allocates it first.
bool looksLikeWmf(const QByteArray &b)
{
    const int at = b.size() >= 22 && le32(b, 0) == 0x9AC6CDD7u ? 22 : 0;
    return b.size() >= at + 18 && (uchar(b[at]) == 1 || uchar(b[at]) == 2) && b[at + 1] == 0 &&
           uchar(b[at + 2]) == 9 && b[at + 3] == 0 && quint64(le32(b, at + 12)) * 2 <= quint64(b.size());
}

// The converter's allocations, counted against MetafileMemory: one that would pass it fails,
// which the converter reports as an error.
struct MetafileBudget
{
    size_t used = 0;
};

void *budgetAlloc(void *context, size_t size)
{
    auto *budget = static_cast<MetafileBudget *>(context);
    if (size > MetafileMemory - budget->used)
        return nullptr;
    auto *block = static_cast<size_t *>(std::malloc(size + sizeof(std::max_align_t)));
    if (!block)
        return nullptr;
    *block = size;
    budget->used += size;
    return reinterpret_cast<char *>(block) + sizeof(std::max_align_t);
}

void budgetFree(void *context, void *mem)
{
    if (!mem)
        return;
    auto *block = reinterpret_cast<size_t *>(static_cast<char *>(mem) - sizeof(std::max_align_t));
    static_cast<MetafileBudget *>(context)->used -= *block;
    std::free(block);
}

void *budgetRealloc(void *context, void *mem, size_t size)
{
    if (!mem)
        return budgetAlloc(context, size);
    const size_t old = *reinterpret_cast<size_t *>(static_cast<char *>(mem) - sizeof(std::max_align_t));
    void *moved = budgetAlloc(context, size);
    if (!moved)
        return nullptr;
    std::memcpy(moved, mem, std::min(old, size));
    budgetFree(context, mem);
    return moved;
}

} // namespace

std::optional<QImage> loadWmf(QByteArray bytes)
{
    if (!looksLikeWmf(bytes))
        return std::nullopt;
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    MetafileBudget budget;
    options.context = &budget;
    options.malloc = budgetAlloc;
    options.realloc = budgetRealloc;
    options.free = budgetFree;
    // A damaged file is no logo; the converter need not say why on the terminal.
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_ALLOC | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return std::nullopt;
    }
    // The player asks now and then whether to go on: not once the decoding time is up.
    qint64 deadline = monotonicMs() + DecodeBudgetMs;
    wmf_status_function(api, &deadline, [](void *context, float) {
        return monotonicMs() > *static_cast<qint64 *>(context) ? 1 : 0;
    });
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


} // namespace LogoLoader
