#include "ReportPainter.h"

#include "FontConvert.h"

#include <QFile>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace ReportPainter {

namespace {

void paintText(QPainter &painter, const PlacedItem &item)
{
    if (item.opaque)
        painter.fillRect(item.rect, Qt::white);
    painter.setFont(ReportText::drawingFont(item.font));
    painter.setPen(FontConvert::toQColor(item.font.color));
    const double lineHeight = ReportText::lineHeight(item.font);
    double y = item.rect.top();
    for (const QString &line : item.lines) {
        const QRectF box(item.rect.left(), y, item.rect.width(), lineHeight);
        painter.drawText(box, int((item.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop), line);
        y += lineHeight;
    }
}

void paintImage(QPainter &painter, const PlacedItem &item)
{
    if (item.picture.isNull())
        return;
    // Stretched to its box, keeping its proportions, and centred.
    const QSizeF fitted = QSizeF(item.picture.size()).scaled(item.rect.size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(), fitted);
    target.moveCenter(item.rect.center());
    painter.drawImage(target, item.picture);
}

} // namespace

void paintPage(QPainter &painter, const ReportPage &page)
{
    painter.save();
    painter.translate(Report::Margin, Report::Margin);
    for (const PlacedItem &item : page.items) {
        painter.setPen(QPen(item.pen, 1));
        painter.setBrush(Qt::NoBrush);
        switch (item.kind) {
        case PlacedItem::Kind::Text:
            paintText(painter, item);
            break;
        case PlacedItem::Kind::Image:
            paintImage(painter, item);
            break;
        case PlacedItem::Kind::Rectangle:
            painter.drawRect(item.rect);
            break;
        case PlacedItem::Kind::Line:
            painter.drawLine(item.rect.topLeft(), item.rect.topRight());
            break;
        }
    }
    // The page frame around the printable area.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0, 0, Report::PrintableWidth, Report::PrintableHeight));
    painter.restore();
}

void print(Report &report, QPagedPaintDevice &device,
           const std::function<void(int page, int count)> &beforePage)
{
    // The device's own default margins would shift everything: the page is ours whole.
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    const std::vector<ReportPage> pages = report.run();
    QPainter painter(&device);
    const double scale = device.logicalDpiX() / 96.0;
    painter.scale(scale, scale);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        if (beforePage)
            beforePage(int(i) + 1, int(pages.size()));
        paintPage(painter, pages[i]);
    }
}

bool writePdf(Report &report, const QString &path)
{
    QPdfWriter writer(path);
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("Pelmora Purchase Order Form"));
    print(report, writer);
    return QFile::exists(path);
}

} // namespace ReportPainter
