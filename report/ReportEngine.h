#pragma once

// A small banded report engine of our own. A report holds bands (a detail band printed
// once, its child band, a sub-detail band repeated while its need-data event says so, and
// a summary band pushed to the bottom of the last page); bands hold text, image,
// rectangle and line elements. Running the report calls its events and lays everything
// out on pages, as data (layout units of 1/96 inch inside the printable area), apart from
// painting, so that positions and page breaks can be checked without pixels.

#include "SheetFont.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

struct ReportElement
{
    enum class Kind { Text, Image, Rectangle, HorizontalLine };
    Kind kind = Kind::Text;
    QString name;
    double left = 0, top = 0, width = 0, height = 0;

    // Text elements.
    QString text; // the design text
    SheetFont font;
    SheetFont designFont; // what a print event's font falls back to
    Qt::Alignment alignment = Qt::AlignLeft;
    bool autoSize = false;
    // What an auto-sized text may grow within (a frame drawn around it; else the printable
    // area): beyond it, it prints in smaller sizes, then wraps at blanks, then is cut into lines.
    double minLeft = 0, maxRight = 0; // maxRight 0: the printable area's right edge
    bool autoStretch = false;
    bool transparent = false;
    int tag = 0;
    // Texts of one font group (the same number, not 0) print in one size: the smallest any
    // of them needs, over the whole report.
    int group = 0;
    QString key; // a sheet field's name, or empty
    // Called just before the element is drawn with the text to print; it may change that
    // text (for this drawing only) and the element's font (which stays changed).
    std::function<void(ReportElement &, QString &value)> onPrint;

    // Image elements: the picture, one pixel per layout unit when auto-sized.
    QImage picture;

    // Shapes.
    QColor pen = Qt::black;
};

struct ReportBand
{
    enum class Kind { Detail, Child, SubDetail, Summary };
    Kind kind = Kind::Detail;
    QString name;
    // Its height by design. A band grows to hold what its texts need: a text that fits its
    // box's width at no size is cut into lines that fit, and what it would cover moves down.
    double height = 0;
    bool frameTop = false;
    bool frameBottom = false;
    std::vector<ReportElement> elements;
    // Called before the band prints; false suppresses it this time.
    std::function<bool()> beforePrint;
    // Sub-detail bands: called before every row; false ends the rows.
    std::function<bool()> needData;

    ReportElement &element(const QString &elementName);
};

// What a run puts on a page, in layout units relative to the printable area.
struct PlacedItem
{
    enum class Kind { Text, Image, Rectangle, Line };
    Kind kind = Kind::Text;
    QString name;
    QRectF rect;
    QStringList lines; // texts: the lines that print, in order
    QString text;      // texts: the whole text, before it was broken into lines
    int group = 0;
    SheetFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool opaque = false; // white background
    bool autoSized = false; // a text as wide as its lines, which may give way to another
    QImage picture;
    QColor pen = Qt::black;
};

struct ReportPage
{
    std::vector<PlacedItem> items;
    const PlacedItem *find(const QString &name) const;
    std::vector<const PlacedItem *> findAll(const QString &name) const;
};

class Report
{
public:
    static constexpr double PaperWidth = 816, PaperHeight = 1056; // US Letter, 8.5 x 11 in
    static constexpr double Margin = 48;                          // 0.5 in on every side
    static constexpr double PrintableWidth = PaperWidth - 2 * Margin;
    static constexpr double PrintableHeight = PaperHeight - 2 * Margin;

    QString title;
    std::vector<ReportBand> bands;
    // Called at the start of every run; false vetoes the run.
    std::function<bool()> beforePrint;

    ReportBand &band(const QString &bandName);

    // Runs the report: calls its events and returns its pages. A report of more than one
    // page is numbered "Page 1 of 2" at the foot of each page (an item "PageNumber").
    std::vector<ReportPage> run();

private:
    static constexpr double PageNumberGap = 4;   // between the last band and the page number
    static constexpr double PageNumberInset = 8; // clear of the page's frame
    static SheetFont pageNumberFont();
    // Runs until every font group prints in one size.
    std::vector<ReportPage> runSettled(double bottom);
    std::vector<ReportPage> runWithin(double bottom);
    std::map<int, int> m_groupPoints; // the largest size each font group may print in
};

namespace ReportText {

// The smallest size a text is printed in to make it fit its room.
constexpr int SmallestPoints = 6;

// The font as drawn: sizes in layout units, so that one layout is right on every device.
QFont drawingFont(const SheetFont &font);

// The text broken into lines as they print within width, at blanks only (no breaking when
// width <= 0); a word wider than width stays whole on its line.
QStringList wrap(const QString &text, const SheetFont &font, double width);
// The lines, each one wider than width cut into pieces that fit (at least a character each):
// the last resort of a text that fits its width at no size.
QStringList breakWide(const QStringList &lines, const SheetFont &font, double width);
double lineHeight(const SheetFont &font);
double textWidth(const QString &text, const SheetFont &font);
double widestLine(const QStringList &lines, const SheetFont &font);

} // namespace ReportText
