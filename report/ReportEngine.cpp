#include "ReportEngine.h"

#include "FontConvert.h"

#include <QFontMetricsF>
#include <QRegularExpression>
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
                // After a hyphen, a slash, an "@", an underscore or a comma where there is one
                // (an e-mail address, a reference, a figure with separators), else anywhere.
                static const QRegularExpression mark(QStringLiteral("[-/@_,]"));
                const qsizetype after = piece.lastIndexOf(mark) + 1;
                if (after > 1 && after < piece.size() && metrics.horizontalAdvance(piece.mid(after) + c) <= width) {
                    pieces << piece.left(after);
                    piece = piece.mid(after);
                } else {
                    pieces << piece;
                    piece.clear();
                }
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

using GroupPoints = std::map<int, int>;

PlacedItem layoutText(ReportElement &e, const GroupPoints &groupPoints)
{
    QString value = e.text;
    if (e.onPrint)
        e.onPrint(e, value); // the changed text holds for this drawing only
    PlacedItem item;
    item.kind = PlacedItem::Kind::Text;
    item.name = e.name;
    item.text = value;
    item.group = e.group;
    item.font = e.font;
    // A size chosen smaller than can be read prints in the smallest readable one.
    item.font.size = std::clamp(item.font.size, ReportText::SmallestPoints, 400);
    if (const auto cap = groupPoints.find(e.group); e.group != 0 && cap != groupPoints.end())
        item.font.size = std::min(item.font.size, cap->second);
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
    } else {
        // A text wider or taller than its box prints in smaller sizes of its font, down to
        // the smallest (a stretching box grows instead of shrinking for height); a word that
        // is wider still is cut into lines within the box, which grows down.
        const auto tooTall = [&] {
            return !e.autoStretch && item.lines.size() * ReportText::lineHeight(item.font) > height + 0.5;
        };
        double widest = ReportText::widestLine(item.lines, item.font);
        while ((widest > width || tooTall()) && item.font.size > ReportText::SmallestPoints) {
            --item.font.size;
            item.lines = ReportText::wrap(value, item.font, width);
            widest = ReportText::widestLine(item.lines, item.font);
        }
        if (widest > width)
            item.lines = ReportText::breakWide(item.lines, item.font, width);
    }
    // Never cut: the box is as tall as its lines.
    height = std::max(height, std::ceil(item.lines.size() * ReportText::lineHeight(item.font)));
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

// Wraps a text into lines no wider than width (cut where a word is wider); a right-aligned
// one keeps its right edge.
void wrapTo(PlacedItem &item, double width)
{
    const double right = item.rect.right();
    item.lines = ReportText::breakWide(ReportText::wrap(item.text, item.font, width), item.font, width);
    item.rect.setWidth(std::ceil(ReportText::widestLine(item.lines, item.font)));
    item.rect.setHeight(std::max(item.rect.height(),
                                 std::ceil(item.lines.size() * ReportText::lineHeight(item.font))));
    if (item.alignment & Qt::AlignRight)
        item.rect.moveRight(right);
}

constexpr double Gap = 4; // between two texts on one line

// Two texts that run into each other on one line (their tops less than half a line apart);
// texts on different lines are for pushDown.
bool collideOnALine(const PlacedItem &a, const PlacedItem &b)
{
    if (a.kind != PlacedItem::Kind::Text || b.kind != PlacedItem::Kind::Text)
        return false;
    const QRectF both = inkOf(a).intersected(inkOf(b));
    const double line = std::min(ReportText::lineHeight(a.font), ReportText::lineHeight(b.font));
    return both.width() > 0.5 && both.height() > 0.5 && std::abs(a.rect.top() - b.rect.top()) < line / 2;
}

// Which of two texts is on the left goes by the edges they grow from: a right-aligned text
// that has grown past its neighbour's start is still the right one.
double anchorOf(const PlacedItem &t)
{
    return (t.alignment & Qt::AlignRight) ? t.rect.right() : t.rect.left();
}

// Whether a text may grow rightwards (auto-sized, left-aligned), or leftwards (right-aligned).
bool growsRight(const PlacedItem &t)
{
    return t.autoSized && !(t.alignment & Qt::AlignRight);
}
bool growsLeft(const PlacedItem &t)
{
    return t.autoSized && (t.alignment & Qt::AlignRight);
}

// Calls act(left, right) for every two texts that run into each other on a line; true when
// it changed either.
template <class Act> bool forEachCollision(std::vector<PlacedItem> &items, Act act)
{
    bool changed = false;
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = i + 1; j < items.size(); ++j) {
            PlacedItem *a = &items[i], *b = &items[j];
            if (!collideOnALine(*a, *b))
                continue;
            if (anchorOf(*b) < anchorOf(*a))
                std::swap(a, b);
            changed = act(*a, *b) || changed;
        }
    }
    return changed;
}

// Auto-sized texts that would run into each other on a line give way: of two, a right-aligned
// one on the right first, else the one on the left, each down to the smallest size.
void makeRoom(std::vector<PlacedItem> &items)
{
    for (int pass = 0; pass < 4; ++pass) {
        const bool changed = forEachCollision(items, [](PlacedItem &a, PlacedItem &b) {
            return (growsLeft(b) && shrinkTo(b, b.rect.right() - a.rect.right() - Gap)) ||
                   (growsRight(a) && shrinkTo(a, b.rect.left() - Gap - a.rect.left()));
        });
        if (!changed)
            return;
    }
}

// Two texts on one line that still run into each other at the smallest size share the line:
// each that grows away from its anchor wraps into its part of it (the shorter keeps its
// width when it takes no more than half).
void wrapApart(std::vector<PlacedItem> &items)
{
    forEachCollision(items, [](PlacedItem &a, PlacedItem &b) {
        const bool aWraps = growsRight(a), bWraps = growsLeft(b);
        const double start = aWraps ? a.rect.left() : a.rect.right() + Gap;
        const double end = bWraps ? b.rect.right() : b.rect.left() - Gap;
        if (aWraps && bWraps) {
            const double room = end - start - Gap;
            const double half = room / 2;
            if (b.rect.width() <= half) {
                wrapTo(a, room - b.rect.width());
            } else if (a.rect.width() <= half) {
                wrapTo(b, room - a.rect.width());
            } else {
                wrapTo(a, half);
                wrapTo(b, half);
            }
        } else if (aWraps) {
            wrapTo(a, end - start);
        } else if (bWraps) {
            wrapTo(b, end - start);
        }
        return aWraps || bWraps;
    });
}

// What an item covers: a text its lines, a rule its line.
QRectF extentOf(const PlacedItem &item)
{
    return item.kind == PlacedItem::Kind::Text ? inkOf(item) : item.rect;
}

using Unit = std::vector<size_t>; // items that move together

double designTopOf(const Unit &unit, const std::vector<QRectF> &design)
{
    double top = design[unit.front()].top();
    for (size_t k : unit)
        top = std::min(top, design[k].top());
    return top;
}

// Units whose places by design are on one line (tops at most 2 apart) move as one: a caption
// stays beside its value, a frame beside the frame next to it. In the order of their tops.
std::vector<Unit> byLines(std::vector<Unit> units, const std::vector<QRectF> &design)
{
    std::stable_sort(units.begin(), units.end(),
                     [&](const Unit &a, const Unit &b) { return designTopOf(a, design) < designTopOf(b, design); });
    std::vector<Unit> lines;
    double lineTop = 0;
    for (Unit &unit : units) {
        if (lines.empty() || designTopOf(unit, design) > lineTop + 2) {
            lineTop = designTopOf(unit, design);
            lines.push_back(std::move(unit));
        } else {
            lines.back().insert(lines.back().end(), unit.begin(), unit.end());
        }
    }
    return lines;
}

// Moves the units' lines down, in the order of their places by design, until none covers part
// of one that is above it by design. Side by side is no concern.
void pushDown(std::vector<PlacedItem> &items, const std::vector<QRectF> &design, std::vector<Unit> units)
{
    const std::vector<Unit> lines = byLines(std::move(units), design);
    std::vector<double> tops;
    for (const Unit &line : lines)
        tops.push_back(designTopOf(line, design));
    for (size_t n = 0; n < lines.size(); ++n) {
        double shift = 0;
        for (size_t m = 0; m < n; ++m) {
            if (tops[m] >= tops[n] - 0.5)
                continue;
            for (size_t p : lines[m]) {
                for (size_t u : lines[n]) {
                    const QRectF upper = extentOf(items[p]), lower = extentOf(items[u]).translated(0, shift);
                    const double across = std::min(upper.right(), lower.right()) - std::max(upper.left(), lower.left());
                    if (across > 0.5 && upper.bottom() > lower.top() + 0.5)
                        shift += upper.bottom() - lower.top();
                }
            }
        }
        for (size_t u : lines[n])
            items[u].rect.translate(0, shift);
    }
}

// Nothing covers anything else: texts pushed out of their lines move what is below them
// down, and a frame grows to hold the texts drawn in it (as far below them as by design)
// and moves down as a whole.
void settleDown(std::vector<PlacedItem> &items, const std::vector<QRectF> &design)
{
    std::vector<Unit> topLevel;
    std::vector<bool> inFrame(items.size(), false);
    for (size_t r = 0; r < items.size(); ++r) {
        if (items[r].kind != PlacedItem::Kind::Rectangle)
            continue;
        std::vector<size_t> members;
        for (size_t t = 0; t < items.size(); ++t) {
            if (items[t].kind == PlacedItem::Kind::Text && design[r].contains(design[t]))
                members.push_back(t);
        }
        std::vector<Unit> singles;
        for (size_t t : members)
            singles.push_back({t});
        pushDown(items, design, std::move(singles));
        double designBottom = 0, bottom = 0;
        for (size_t t : members) {
            designBottom = std::max(designBottom, design[t].top() + inkOf(items[t]).height());
            bottom = std::max(bottom, inkOf(items[t]).bottom());
            inFrame[t] = true;
        }
        if (!members.empty())
            items[r].rect.setBottom(std::max(items[r].rect.bottom(), bottom + (design[r].bottom() - designBottom)));
        members.insert(members.begin(), r);
        topLevel.push_back(std::move(members));
    }
    for (size_t k = 0; k < items.size(); ++k) {
        if (!inFrame[k] && items[k].kind != PlacedItem::Kind::Rectangle)
            topLevel.push_back({k});
    }
    pushDown(items, design, std::move(topLevel));
}

BandLayout layoutBand(ReportBand &band, const GroupPoints &groupPoints)
{
    BandLayout out;
    out.height = band.height;
    std::vector<QRectF> design;
    for (ReportElement &e : band.elements) {
        PlacedItem item;
        switch (e.kind) {
        case ReportElement::Kind::Text:
            item = layoutText(e, groupPoints);
            break;
        case ReportElement::Kind::Image:
            item.kind = PlacedItem::Kind::Image;
            item.picture = e.picture;
            // No picture takes no room.
            item.rect = QRectF(e.left, e.top, e.picture.width(), e.picture.height());
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
        design.push_back(e.kind == ReportElement::Kind::Text ? QRectF(e.left, e.top, e.width, e.height) : item.rect);
        out.items.push_back(std::move(item));
    }
    makeRoom(out.items);
    wrapApart(out.items);
    settleDown(out.items, design);
    // The band keeps the room its design gives below whatever grew or moved down.
    for (size_t k = 0; k < out.items.size(); ++k) {
        const double grown = out.items[k].rect.bottom() - design[k].bottom();
        if (grown > 0)
            out.height = std::max(out.height, band.height + grown);
    }
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

// A band taller than a page is cut where the page ends: a text's lines that fit stay, the
// rest of them (and whatever lies below) goes on; a band at least this tall starts on the
// page where it is, else on a new one.
constexpr double LeastSplitRoom = 60;

std::pair<BandLayout, BandLayout> splitBand(BandLayout layout, double room)
{
    BandLayout first, rest;
    double bottom = 0;
    for (const PlacedItem &item : layout.items)
        bottom = std::max(bottom, extentOf(item).bottom());
    const double below = std::max(0.0, layout.height - bottom); // the room the band keeps below
    double above = bottom; // and above its texts, which their continuation keeps too
    for (const PlacedItem &item : layout.items) {
        if (item.kind == PlacedItem::Kind::Text)
            above = std::min(above, std::max(0.0, item.rect.top()));
    }
    for (PlacedItem &item : layout.items) {
        if (item.kind == PlacedItem::Kind::Text && item.rect.top() < room) {
            const double lineHeight = ReportText::lineHeight(item.font);
            const qsizetype fit = std::clamp<qsizetype>(qsizetype(std::floor((room - item.rect.top()) / lineHeight + 1e-6)),
                                                        0, item.lines.size());
            if (fit == item.lines.size()) {
                first.items.push_back(std::move(item));
                continue;
            }
            PlacedItem tail = item;
            tail.lines = item.lines.mid(fit);
            tail.text = tail.lines.join(u' ');
            item.text = item.lines.first(fit).join(u' ');
            tail.rect = QRectF(item.rect.left(), above, item.rect.width(), std::ceil(tail.lines.size() * lineHeight));
            rest.items.push_back(std::move(tail));
            if (fit > 0) {
                item.lines = item.lines.first(fit);
                item.rect.setHeight(fit * lineHeight);
                first.items.push_back(std::move(item));
            }
        } else if (item.rect.top() < room) {
            first.items.push_back(std::move(item));
        } else {
            item.rect.translate(0, above - room);
            rest.items.push_back(std::move(item));
        }
    }
    first.height = room;
    for (const PlacedItem &item : rest.items)
        rest.height = std::max(rest.height, extentOf(item).bottom() + below);
    return {std::move(first), std::move(rest)};
}

} // namespace

std::vector<ReportPage> Report::run()
{
    m_groupPoints.clear();
    std::vector<ReportPage> pages = runSettled(PrintableHeight);
    if (pages.size() < 2)
        return pages;
    // A report of several pages says so at the foot of each, in a room kept free for it: the
    // run is made again above that room.
    const SheetFont numberFont = pageNumberFont();
    const double lineHeight = ReportText::lineHeight(numberFont);
    const double bottom = PrintableHeight - PageNumberInset;
    pages = runSettled(bottom - lineHeight - PageNumberGap);
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

std::vector<ReportPage> Report::runSettled(double bottom)
{
    // A group whose texts came out in several sizes is run again in the smallest of them;
    // sizes only go down, so this ends.
    for (;;) {
        std::vector<ReportPage> pages = runWithin(bottom);
        std::map<int, std::pair<int, int>> sizes; // group: smallest, largest
        for (const ReportPage &page : pages) {
            for (const PlacedItem &item : page.items) {
                if (item.kind != PlacedItem::Kind::Text || item.group == 0 || item.lines.join(QString()).isEmpty())
                    continue;
                auto [it, fresh] = sizes.try_emplace(item.group, item.font.size, item.font.size);
                it->second.first = std::min(it->second.first, item.font.size);
                it->second.second = std::max(it->second.second, item.font.size);
            }
        }
        bool settled = true;
        for (const auto &[group, range] : sizes) {
            if (range.first != range.second) {
                m_groupPoints[group] = range.first;
                settled = false;
            }
        }
        if (settled)
            return pages;
    }
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
        BandLayout layout = layoutBand(band, m_groupPoints);
        if (y > 0 && y + layout.height > bottom && (layout.height <= bottom || bottom - y < LeastSplitRoom)) {
            pages.emplace_back(); // continue on a new page
            y = 0;
        }
        while (y + layout.height > bottom) {
            auto [first, rest] = splitBand(std::move(layout), bottom - y);
            if (first.items.empty() && y == 0) { // nothing fits even on a page of its own
                layout = std::move(rest);
                break;
            }
            place(std::move(first), y);
            pages.emplace_back();
            y = 0;
            layout = std::move(rest);
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
            BandLayout layout = layoutBand(band, m_groupPoints);
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
