#include "ReportEngine.h"

#include "FontConvert.h"

#include <QFontMetricsF>
#include <QTextLayout>
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

double lineHeight(const SheetFont &font)
{
    return QFontMetricsF(drawingFont(font), measuringDevice()).height();
}

double textWidth(const QString &text, const SheetFont &font)
{
    return QFontMetricsF(drawingFont(font), measuringDevice()).horizontalAdvance(text);
}

QStringList wrap(const QString &text, const SheetFont &font, double width)
{
    QStringList lines;
    for (const QString &paragraph : text.split(u'\n')) {
        if (width <= 0 || paragraph.isEmpty()) {
            lines << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, drawingFont(font), const_cast<QPaintDevice *>(measuringDevice()));
        QTextOption option;
        // Lines break at blanks only: a word (an amount above all) never prints in pieces.
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
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

PlacedItem layoutText(ReportElement &e)
{
    QString value = e.text;
    if (e.onPrint)
        e.onPrint(e, value); // the changed text holds for this drawing only
    PlacedItem item;
    item.kind = PlacedItem::Kind::Text;
    item.name = e.name;
    item.font = e.font;
    item.alignment = e.alignment;
    item.opaque = !e.transparent;
    double left = e.left, width = e.width, height = e.height;
    if (e.autoSize) {
        // The width follows the text; a right-aligned element keeps its right edge.
        double widest = 0;
        for (const QString &line : value.split(u'\n'))
            widest = std::max(widest, ReportText::textWidth(line, e.font));
        width = std::ceil(widest);
        if (e.alignment & Qt::AlignRight)
            left = e.left + e.width - width;
    }
    item.lines = ReportText::wrap(value, e.font, e.autoSize ? 0 : width);
    if (!e.autoSize) {
        // A word wider than its box prints whole, growing from the edge it is aligned to.
        double widest = 0;
        for (const QString &line : item.lines)
            widest = std::max(widest, ReportText::textWidth(line, e.font));
        if (widest > width) {
            if (e.alignment & Qt::AlignRight)
                left -= std::ceil(widest) - width;
            width = std::ceil(widest);
        }
    }
    const double lineHeight = ReportText::lineHeight(e.font);
    const double needed = std::ceil(item.lines.size() * lineHeight);
    if (e.autoStretch) {
        height = std::max(height, needed);
    } else {
        // A fixed box prints only the lines that fit inside it.
        const qsizetype fit = std::max<qsizetype>(1, qsizetype(std::floor(height / lineHeight + 1e-6)));
        if (item.lines.size() > fit)
            item.lines = item.lines.first(fit);
    }
    if (e.autoSize)
        height = std::max(height, needed);
    item.rect = QRectF(left, e.top, width, height);
    return item;
}

BandLayout layoutBand(ReportBand &band)
{
    BandLayout out;
    out.height = band.height;
    for (ReportElement &e : band.elements) {
        PlacedItem item;
        switch (e.kind) {
        case ReportElement::Kind::Text:
            item = layoutText(e);
            if (e.autoStretch)
                out.height = std::max(out.height, item.rect.bottom());
            break;
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
        if (y > 0 && y + layout.height > PrintableHeight) {
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
            if (y + layout.height > PrintableHeight) {
                pages.emplace_back();
                y = 0;
            }
            // The summary sits at the bottom of the last page.
            const double at = PrintableHeight - layout.height;
            place(std::move(layout), at);
            break;
        }
        }
    }
    return pages;
}
