#include "ReportEngine.h"

#include "FontConvert.h"

#include <QFontMetricsF>
#include <cmath>

namespace ReportText {

namespace {

// Text is measured on a device of 96 dots per inch, one dot per layout unit.
const QPaintDevice *measuringDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return &device;
}

} // namespace

QFont drawingFont(const SheetFont &font)
{
    QFont f = FontConvert::toQFont(font);
    f.setPixelSize(std::max(1, int(std::lround(std::clamp(font.size, 1, 400) * 96.0 / 72.0))));
    return f;
}

QStringList breakWide(const QStringList &lines, const SheetFont &font, double width)
{
    const QFontMetricsF metrics(drawingFont(font), measuringDevice());
    QStringList pieces;
    for (const QString &line : lines) {
        QString piece;
        for (const QChar c : line) {
            if (!piece.isEmpty() && metrics.horizontalAdvance(piece + c) > width) {
                pieces << piece;
                piece.clear();
            }
            piece += c;
        }
        pieces << piece;
    }
    return pieces;
}

double lineHeight(const SheetFont &font)
{
    return QFontMetricsF(drawingFont(font), measuringDevice()).height();
}

double textWidth(const QString &text, const SheetFont &font)
{
    return QFontMetricsF(drawingFont(font), measuringDevice()).horizontalAdvance(text);
}

double widestLine(const QStringList &lines, const SheetFont &font)
{
    double widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, textWidth(line, font));
    return widest;
}

QStringList wrap(const QString &text, const SheetFont &font, double width)
{
    QStringList lines;
    for (const QString &paragraph : text.split(u'\n')) {
        if (width <= 0 || paragraph.isEmpty()) {
            lines << paragraph;
            continue;
        }
        // Lines break at blanks only: an amount ("-$12.00" above all) never prints in pieces.
        const QFontMetricsF metrics(drawingFont(font), measuringDevice());
        QString line;
        for (const QString &word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + u' ' + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace ReportText

ReportElement &ReportBand::element(const QString &elementName)
{
    for (ReportElement &e : elements) {
        if (e.name == elementName)
            return e;
    }
    throw std::out_of_range(elementName.toStdString());
}

ReportBand &Report::band(const QString &bandName)
{
    for (ReportBand &b : bands) {
        if (b.name == bandName)
            return b;
    }
    throw std::out_of_range(bandName.toStdString());
}

const PlacedItem *ReportPage::find(const QString &name) const
{
    for (const PlacedItem &i : items) {
        if (i.name == name)
            return &i;
    }
    return nullptr;
}

std::vector<const PlacedItem *> ReportPage::findAll(const QString &name) const
{
    std::vector<const PlacedItem *> found;
    for (const PlacedItem &i : items) {
        if (i.name == name)
            found.push_back(&i);
    }
    return found;
}

namespace {

// One band laid out at y = 0: its items and its height after stretching.
struct BandLayout
{
    std::vector<PlacedItem> items;
    double height = 0;
};

// Prints the text in smaller sizes of its font until its widest line is no wider than room,
// not below the smallest size; returns that width.
double shrinkFont(PlacedItem &item, double room)
{
    double widest = ReportText::widestLine(item.lines, item.font);
    while (widest > room && item.font.size > ReportText::SmallestPoints) {
        --item.font.size;
        widest = ReportText::widestLine(item.lines, item.font);
    }
    return widest;
}

// mayGrowDown: the element's band grows to hold it (a line item's row), so that a text
// that fits its width at no size is cut into lines within its column rather than printed
// over its neighbour.
PlacedItem layoutText(ReportElement &e, bool mayGrowDown)
{
    QString value = e.text;
    if (e.onPrint)
        e.onPrint(e, value); // the changed text holds for this drawing only
    PlacedItem item;
    item.kind = PlacedItem::Kind::Text;
    item.name = e.name;
    item.font = e.font;
    item.font.size = std::clamp(item.font.size, 1, 400);
    item.alignment = e.alignment;
    item.opaque = !e.transparent;
    item.autoSized = e.autoSize;
    double left = e.left, width = e.width, height = e.height;
    item.lines = ReportText::wrap(value, item.font, e.autoSize ? 0 : width);
    if (e.autoSize) {
        // The width follows the text, within the room it may grow in; a right-aligned element
        // keeps its right edge.
        const bool right = e.alignment & Qt::AlignRight;
        const double maxRight = e.maxRight > 0 ? e.maxRight : Report::PrintableWidth;
        const double room = right ? e.left + e.width - std::max(0.0, e.minLeft) : maxRight - e.left;
        double widest = shrinkFont(item, room);
        if (widest > room && room > 0) {
            item.lines = ReportText::breakWide(ReportText::wrap(value, item.font, room), item.font, room);
            widest = ReportText::widestLine(item.lines, item.font);
        }
        width = std::ceil(widest);
        if (right)
            left = e.left + e.width - width;
    }
    // The lines a fixed box has room for.
    const auto room = [&] {
        return std::max<qsizetype>(1, qsizetype(std::floor(height / ReportText::lineHeight(item.font) + 1e-6)));
    };
    if (!e.autoSize) {
        // A text wider than its box, or with more lines than it holds, prints in smaller
        // sizes of its font, down to the smallest; only a word that is wider still grows,
        // from the edge it is aligned to.
        double widest = ReportText::widestLine(item.lines, item.font);
        while ((widest > width || (!e.autoStretch && item.lines.size() > room())) &&
               item.font.size > ReportText::SmallestPoints) {
            --item.font.size;
            item.lines = ReportText::wrap(value, item.font, width);
            widest = ReportText::widestLine(item.lines, item.font);
        }
        if (widest > width && mayGrowDown) {
            item.lines = ReportText::breakWide(item.lines, item.font, width);
        } else if (widest > width) {
            if (e.alignment & Qt::AlignRight)
                left -= std::ceil(widest) - width;
            width = std::ceil(widest);
        }
    }
    const double needed = std::ceil(item.lines.size() * ReportText::lineHeight(item.font));
    if (mayGrowDown || e.autoStretch) {
        height = std::max(height, needed); // never cut
    } else if (item.lines.size() > room()) {
        item.lines = item.lines.first(room()); // even at the smallest size
    }
    if (e.autoSize)
        height = std::max(height, needed);
    item.rect = QRectF(left, e.top, width, height);
    return item;
}

// Where a text's letters are: its lines, not the rest of its box.
QRectF inkOf(const PlacedItem &item)
{
    return QRectF(item.rect.left(), item.rect.top(), item.rect.width(),
                  item.lines.size() * ReportText::lineHeight(item.font));
}

// Prints an auto-sized text in smaller sizes of its font until it is no wider than room
// (not below the smallest size); a right-aligned one keeps its right edge. False when it
// is at the smallest size already.
bool shrinkTo(PlacedItem &item, double room)
{
    if (item.font.size <= ReportText::SmallestPoints)
        return false;
    const double right = item.rect.right();
    item.rect.setWidth(std::ceil(shrinkFont(item, room)));
    if (item.alignment & Qt::AlignRight)
        item.rect.moveRight(right);
    return true;
}

// Auto-sized texts that would run into each other give way: of two, a right-aligned one
// on the right first, else the one on the left, each down to the smallest size.
void makeRoom(std::vector<PlacedItem> &items)
{
    constexpr double Gap = 4;
    for (int pass = 0; pass < 4; ++pass) {
        bool changed = false;
        for (size_t i = 0; i < items.size(); ++i) {
            for (size_t j = i + 1; j < items.size(); ++j) {
                PlacedItem *a = &items[i], *b = &items[j];
                if (a->kind != PlacedItem::Kind::Text || b->kind != PlacedItem::Kind::Text)
                    continue;
                const QRectF both = inkOf(*a).intersected(inkOf(*b));
                if (both.width() <= 0.5 || both.height() <= 0.5)
                    continue;
                // Which is on the left goes by the edges they grow from: a right-aligned text
                // that has grown past its neighbour's start is still the right one.
                const auto anchor = [](const PlacedItem *t) {
                    return (t->alignment & Qt::AlignRight) ? t->rect.right() : t->rect.left();
                };
                if (anchor(b) < anchor(a))
                    std::swap(a, b);
                if (b->autoSized && (b->alignment & Qt::AlignRight) &&
                    shrinkTo(*b, b->rect.right() - a->rect.right() - Gap))
                    changed = true;
                else if (a->autoSized && !(a->alignment & Qt::AlignRight) &&
                         shrinkTo(*a, b->rect.left() - Gap - a->rect.left()))
                    changed = true;
            }
        }
        if (!changed)
            return;
    }
}

BandLayout layoutBand(ReportBand &band)
{
    BandLayout out;
    out.height = band.height;
    for (ReportElement &e : band.elements) {
        PlacedItem item;
        switch (e.kind) {
        case ReportElement::Kind::Text: {
            const bool rows = band.kind == ReportBand::Kind::SubDetail;
            item = layoutText(e, rows);
            if (e.autoStretch) {
                out.height = std::max(out.height, item.rect.bottom());
            } else if (rows && item.rect.height() > e.height) {
                // A figure cut into lines: the row keeps the room its design gives below it.
                const double below = std::max(0.0, band.height - e.top - e.height);
                out.height = std::max(out.height, item.rect.bottom() + below);
            }
            break;
        }
        case ReportElement::Kind::Image:
            item.kind = PlacedItem::Kind::Image;
            item.picture = e.picture;
            item.rect = e.picture.isNull()
                            ? QRectF(e.left, e.top, e.width, e.height)
                            : QRectF(e.left, e.top, e.picture.width(), e.picture.height());
            break;
        case ReportElement::Kind::Rectangle:
            item.kind = PlacedItem::Kind::Rectangle;
            item.rect = QRectF(e.left, e.top, e.width, e.height);
            break;
        case ReportElement::Kind::HorizontalLine:
            item.kind = PlacedItem::Kind::Line;
            item.rect = QRectF(e.left, e.top + e.height / 2, e.width, 0);
            break;
        }
        item.name = e.name;
        item.pen = e.pen;
        out.items.push_back(std::move(item));
    }
    makeRoom(out.items);
    auto frame = [&](double y, const char *name) {
        PlacedItem line;
        line.kind = PlacedItem::Kind::Line;
        line.name = QString::fromLatin1(name);
        line.rect = QRectF(0, y, Report::PrintableWidth, 0);
        out.items.push_back(line);
    };
    if (band.frameTop)
        frame(0, "frameTop");
    if (band.frameBottom)
        frame(out.height, "frameBottom");
    return out;
}

} // namespace

std::vector<ReportPage> Report::run()
{
    std::vector<ReportPage> pages = runWithin(PrintableHeight);
    if (pages.size() < 2)
        return pages;
    // A report of several pages says so at the foot of each, in a room kept free for it: the
    // run is made again above that room.
    const SheetFont numberFont = pageNumberFont();
    const double lineHeight = ReportText::lineHeight(numberFont);
    const double bottom = PrintableHeight - PageNumberInset;
    pages = runWithin(bottom - lineHeight - PageNumberGap);
    for (size_t i = 0; i < pages.size(); ++i) {
        PlacedItem number;
        number.name = QStringLiteral("PageNumber");
        number.lines = {QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size())};
        number.font = numberFont;
        number.alignment = Qt::AlignRight;
        const double width = ReportText::widestLine(number.lines, numberFont);
        number.rect = QRectF(PrintableWidth - PageNumberInset - width, bottom - lineHeight, width, lineHeight);
        pages[i].items.push_back(std::move(number));
    }
    return pages;
}

SheetFont Report::pageNumberFont()
{
    SheetFont f;
    f.name = QStringLiteral("Arial");
    f.size = 8;
    f.color = Colors::Black;
    return f;
}

std::vector<ReportPage> Report::runWithin(double bottom)
{
    std::vector<ReportPage> pages;
    if (beforePrint && !beforePrint())
        return pages;
    pages.emplace_back();
    double y = 0;
    const auto place = [&](BandLayout &&layout, double at) {
        for (PlacedItem &item : layout.items) {
            item.rect.translate(0, at);
            pages.back().items.push_back(std::move(item));
        }
    };
    const auto flow = [&](ReportBand &band) {
        if (band.beforePrint && !band.beforePrint())
            return;
        BandLayout layout = layoutBand(band);
        if (y > 0 && y + layout.height > bottom) {
            pages.emplace_back(); // continue on a new page
            y = 0;
        }
        const double height = layout.height;
        place(std::move(layout), y);
        y += height;
    };

    for (ReportBand &band : bands) {
        switch (band.kind) {
        case ReportBand::Kind::Detail:
        case ReportBand::Kind::Child:
            flow(band);
            break;
        case ReportBand::Kind::SubDetail:
            while (band.needData && band.needData())
                flow(band);
            break;
        case ReportBand::Kind::Summary: {
            if (band.beforePrint && !band.beforePrint())
                break;
            BandLayout layout = layoutBand(band);
            if (y + layout.height > bottom) {
                pages.emplace_back();
                y = 0;
            }
            // The summary sits at the bottom of the last page.
            const double at = bottom - layout.height;
            place(std::move(layout), at);
            break;
        }
        }
    }
    return pages;
}
