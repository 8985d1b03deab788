#include "QtPrinters.h"
#include "../window/WindowFixture.h"

#include "LineItemGrid.h"
#include "ReportPainter.h"
#include "SheetLabel.h"
#include "TPurchaseOrderForm.h"
#include "TPurchaseOrderReport.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <array>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

class ReportTest : public WindowTest
{
protected:
    // A sheet on a file holding contents, with rows filled as given (quantity, price,
    // extended, description).
    void open(const QByteArray &contents)
    {
        file = path("order.pof");
        writeBytes(file, contents);
        report.reset(); // a child of the sheet it was made for
        sheet = std::make_unique<TPurchaseOrderForm>();
        sheet->OpenSheetFile(file);
    }
    void row(int r, const QString &qty, const QString &price = {}, const QString &ext = {},
             const QString &description = {})
    {
        sheet->StringGrid1->SetCell(0, r, qty);
        sheet->StringGrid1->SetCell(5, r, price);
        sheet->StringGrid1->SetCell(6, r, ext);
        sheet->StringGrid1->SetCell(4, r, description);
    }
    std::vector<ReportPage> run()
    {
        report.reset();
        report = std::make_unique<TPurchaseOrderReport>(sheet->SheetFileName(), sheet->StringGrid1->Rows());
        return report->Run();
    }
    static QString text(const ReportPage &page, const char *name)
    {
        const PlacedItem *item = page.find(QString::fromLatin1(name));
        return item ? item->lines.join(u'\n') : u"<absent>"_s;
    }

    void TearDown() override
    {
        report.reset();
        WindowTest::TearDown();
    }

    QString file;
    std::unique_ptr<TPurchaseOrderForm> sheet;
    std::unique_ptr<TPurchaseOrderReport> report;
};

TEST_F(ReportTest, NineFilledRowsAndTheSummaryFitOnePage)
{
    open("");
    for (int r = 0; r < 9; ++r)
        row(r, QString::number(r + 1), u"1.00"_s, u"1.00"_s, u"Item"_s);
    const auto pages = run();
    ASSERT_EQ(pages.size(), 1u);
    const auto quantities = pages[0].findAll(u"QRText2"_s);
    ASSERT_EQ(quantities.size(), 9u);
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(quantities[size_t(r)]->rect.top(), 367 + 21 + r * 38 + 3) << r;
    EXPECT_EQ(pages[0].find(u"QRTotalLabel2"_s)->rect.top(), 960 - 154 + 126);
    EXPECT_EQ(pages[0].find(u"frameTop"_s)->rect.top(), 367);
    EXPECT_EQ(pages[0].find(u"PageNumber"_s), nullptr) << "a one-page order is not numbered";
}

TEST_F(ReportTest, RowsWithoutAQuantityAreLeftOutWithoutAGap)
{
    open("");
    const QString quantities[] = {u""_s, u"0"_s, u"2"_s, u"0.005"_s, u"many"_s, u"0.01"_s, u" 3 "_s, u""_s, u"1e1"_s};
    for (int r = 0; r < 9; ++r)
        row(r, quantities[r], u"1.00"_s, u"x"_s);
    const auto pages = run();
    const auto printed = pages[0].findAll(u"QRText2"_s);
    QStringList texts;
    for (size_t i = 0; i < printed.size(); ++i) {
        texts << printed[i]->lines.join(QString());
        EXPECT_EQ(printed[i]->rect.top(), 367 + 21 + double(i) * 38 + 3);
    }
    EXPECT_EQ(texts, (QStringList{u"2"_s, u"0.01"_s, u" 3 "_s.trimmed(), u"1e1"_s}));
}

// Every row the subtotal counts prints, so that the printed rows add up to it.
TEST_F(ReportTest, EveryRowTheSubtotalCountsPrints)
{
    struct Row
    {
        QString quantity, extended;
        bool prints;
    };
    const Row rows[] = {
        {u"0.005"_s, u"0.01"_s, true},   {u"-1"_s, u"-5.00"_s, true}, {u"0"_s, u"0.00"_s, false},
        {QString(), u"0.004"_s, false},  {u"0.001"_s, u"INF"_s, true}, {u"2"_s, QString(), true},
        {u"1"_s, u"124700.55"_s, true},  {QString(), QString(), false}, {u"abc"_s, u"x"_s, false},
    };
    open("");
    QStringList expected;
    for (int r = 0; r < 9; ++r) {
        row(r, rows[r].quantity, u"1"_s, rows[r].extended);
        if (rows[r].prints)
            expected << rows[r].quantity;
    }
    const auto pages = run();
    QStringList printed;
    for (const PlacedItem *item : pages[0].findAll(u"QRText2"_s))
        printed << item->lines.join(QString());
    EXPECT_EQ(printed, expected);
}

TEST_F(ReportTest, MoneyFollowsTheCurrencyAndSignRules)
{
    struct Case
    {
        QByteArray file;
        QString subtotal, discount, credited, price, extended, currency;
    };
    const Case cases[] = {
        {"[Currency]\r\nTextValue=$\r\n[Label14]\r\nTextValue=150.00\r\n[Label15]\r\nTextValue=-12.50\r\n"
         "[Country]\r\nTextValue=CAD\r\n",
         u"$150.00"_s, u"-$12.50"_s, u"$(0.00)"_s, u"$-5.00"_s, u"$"_s, u"Amounts in CAD ($)"_s},
        {"[Label14]\r\nTextValue=150.00\r\n[Label15]\r\nTextValue=-12.50\r\n[Country]\r\nTextValue=CAD\r\n",
         u"150.00"_s, u"-12.50"_s, u"(0.00)"_s, u"-5.00"_s, QString(), QString()}, // no symbol: no claim
        {"[Currency]\r\nTextValue=$\r\n", u"$0.00"_s, u"$(0.00)"_s, u"$(0.00)"_s, u"$-5.00"_s, u"$"_s, QString()},
    };
    for (const Case &c : cases) {
        open(c.file);
        row(0, u"1"_s, u"-5.00"_s, QString());
        const auto pages = run();
        EXPECT_EQ(text(pages[0], "QRLabel2"), c.subtotal);
        EXPECT_EQ(text(pages[0], "QRLabel14"), c.discount);
        EXPECT_EQ(text(pages[0], "QRLabel17"), c.credited);
        EXPECT_EQ(text(pages[0], "QRText12"), c.price);
        EXPECT_EQ(text(pages[0], "QRLabel18"), c.extended);
        const QString currency = text(pages[0], "CurrencyNote");
        EXPECT_EQ(currency == u"<absent>" ? QString() : currency, c.currency);
    }
}

QByteArray picture(int width, const char *format)
{
    QImage image(width, 40, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST_F(ReportTest, TheCompanyLinesMakeRoomForTheLogo)
{
    writeBytes(path("wide.bmp"), picture(200, "BMP"));
    writeBytes(path("broken.bmp"), "BM not really");
    struct Case
    {
        QByteArray logo;
        double left;
    };
    const Case cases[] = {
        {"", 14},
        {path("wide.bmp").toUtf8(), 214},
        {path("broken.bmp").toUtf8(), 4},
        {path("missing.bmp").toUtf8(), 14},
    };
    for (const Case &c : cases) {
        open("[Image1]\r\nTextValue=" + c.logo + "\r\n");
        const auto pages = run();
        for (const char *line : {"QRLabel3", "QRLabel5", "QRLabel6", "QRLabel4", "QRLabel7"})
            EXPECT_EQ(pages[0].find(QString::fromLatin1(line))->rect.left(), c.left) << c.logo.constData();
    }
}

TEST_F(ReportTest, KeyedTextsComeFromTheFileAndGrowFromTheirAnchoredEdge)
{
    open("[Label7]\r\nTextValue=PURCHASE ORDER FOR SPARE PARTS\r\n"
         "[Label42]\r\nTextValue=+44 20 7946 0000 or orders@example.com\r\n"
         "[Label2]\r\nTextValue=Acme\r\nFontName=Times New Roman\r\nFontSize=12\r\n");
    const auto pages = run();
    const PlacedItem *title = pages[0].find(u"QRLabel1"_s);
    EXPECT_EQ(title->rect.right(), 712) << "where the rule below it ends";
    EXPECT_GT(title->rect.width(), 191);
    EXPECT_EQ(pages[0].find(u"QRText25"_s)->rect.right(), 300);
    EXPECT_EQ(pages[0].find(u"QRLabel3"_s)->font.name, u"Times New Roman"_s);
    EXPECT_EQ(pages[0].find(u"QRLabel3"_s)->font.size, 12);
    EXPECT_TRUE(pages[0].find(u"QRLabel3"_s)->font.style.bold) << "the design style stays";
    EXPECT_EQ(text(pages[0], "QRText23"), u"[Blank]"_s) << "no entry: the design text";
    EXPECT_EQ(text(pages[0], "QRLabel13"), u"Vendor:"_s);
}

TEST_F(ReportTest, LongTextsWrapAndTallRowsPushTheSummaryOnward)
{
    const QString longText = QString(u"a long description of the item "_s).repeated(12);
    open("[Label8]\r\nTextValue=" + longText.repeated(3).toUtf8() + "\r\n");
    row(0, u"1"_s, {}, {}, longText);
    auto pages = run();
    const auto items = pages[0].findAll(u"QRText6"_s);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_GT(items[0]->lines.size(), 2);
    EXPECT_GT(items[0]->rect.height(), 29);
    // A box too small for its text at the smallest size grows, every word printed, and the
    // frame below it moves down with the texts inside.
    const PlacedItem *notes = pages[0].find(u"QRText15"_s);
    EXPECT_EQ(notes->font.size, ReportText::SmallestPoints);
    EXPECT_EQ(notes->lines.join(u' ').simplified(), longText.repeated(3).simplified());
    const PlacedItem *vendorFrame = pages[0].find(u"QRShape4"_s);
    EXPECT_GE(vendorFrame->rect.top(), notes->rect.top() + notes->lines.size() * ReportText::lineHeight(notes->font));
    EXPECT_GT(pages[0].find(u"QRText32"_s)->rect.top(), vendorFrame->rect.top());

    for (int r = 0; r < 9; ++r)
        row(r, u"1"_s, {}, {}, longText);
    pages = run();
    ASSERT_GE(pages.size(), 2u);
    size_t rows = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p);
        rows += pages[p].findAll(u"QRText2"_s).size();
        // Each page says which it is, at its foot, below everything else.
        const PlacedItem *number = pages[p].find(u"PageNumber"_s);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->lines, QStringList{u"Page %1 of %2"_s.arg(p + 1).arg(pages.size())});
        EXPECT_NEAR(number->rect.bottom(), 960 - 8, 1e-6) << "clear of the frame";
        EXPECT_NEAR(number->rect.right(), 720 - 8, 1e-6);
        const PlacedItem *total = pages[p].find(u"QRTotalLabel2"_s);
        if (p + 1 < pages.size()) {
            EXPECT_EQ(total, nullptr);
        } else {
            ASSERT_NE(total, nullptr);
            EXPECT_NEAR(total->rect.top() + 154 - 126, number->rect.top() - 4, 1e-6)
                << "at the bottom of the last page, above its number";
        }
        for (const PlacedItem &item : pages[p].items) {
            if (&item != number) {
                EXPECT_LE(item.rect.bottom(), number->rect.top() + 1e-6) << item.name.toStdString();
            }
        }
    }
    EXPECT_EQ(rows, 9u);
}

// An amount wider than its box prints whole, from the box's right edge leftwards.
TEST_F(ReportTest, AnAmountTooWideForItsBoxPrintsWhole)
{
    open("[Currency]\r\nTextValue=$\r\n");
    row(0, u"1"_s, u"123456789.00"_s, u"123456789.00"_s);
    row(1, u"1"_s, u"1.00"_s, u"1.00"_s);
    const auto pages = run();
    for (const char *name : {"QRText12", "QRLabel18"}) {
        const auto items = pages[0].findAll(QString::fromLatin1(name));
        ASSERT_EQ(items.size(), 2u) << name;
        EXPECT_EQ(items[0]->lines, QStringList{u"$123456789.00"_s}) << name;
        EXPECT_EQ(items[0]->rect.right(), items[1]->rect.right()) << name;
        EXPECT_GE(items[0]->rect.width(),
                  ReportText::textWidth(u"$123456789.00"_s, items[0]->font)) << name;
    }
    // Texts with blanks still wrap at the blanks.
    const SheetFont font;
    EXPECT_EQ(ReportText::wrap(u"alpha beta"_s, font, ReportText::textWidth(u"alpha "_s, font) + 1),
              (QStringList{u"alpha"_s, u"beta"_s}));
    EXPECT_EQ(ReportText::wrap(u"1234567890"_s, font, 5), QStringList{u"1234567890"_s});
}

// A quantity or an amount that is wider than its column even at the smallest size is cut into
// lines within its column, whole, and its row grows to hold them: nothing prints over the
// column beside it, and the rows below move down.
TEST_F(ReportTest, AFigureWiderThanItsColumnAtEverySizeWrapsInItsRow)
{
    const struct {
        const char *file, *quantity, *price, *extended;
    } cases[] = {
        {"[StringGrid1]\r\nFontName=Courier New\r\nFontSize=10\r\n[Currency]\r\nTextValue=$\r\n",
         "1", "9999999999999.99", "9999999999999.99"},
        {"[Currency]\r\nTextValue=US$\r\n", "1", "1000000000000.00", "1000000000000.00"},
        {"", "1.0049999999999999999", "1.00", "1.00"},
        {"", "123456789012345", "1.00", "123456789012345.00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.quantity + std::string(" x ") + c.price);
        open(c.file);
        row(0, QString::fromLatin1(c.quantity), QString::fromLatin1(c.price), QString::fromLatin1(c.extended));
        row(1, u"1"_s, u"1.00"_s, u"1.00"_s);
        const auto pages = run();
        ASSERT_EQ(pages.size(), 1u);
        // Column boxes, left to right: quantity, units, item number, name, description, price, amount.
        const char *columns[] = {"QRText2", "QRLabel19", "QRText3", "QRText5", "QRText6", "QRText12", "QRLabel18"};
        const double lefts[] = {9, 61, 123, 212, 343, 564, 640};
        const double widths[] = {48, 58, 87, 130, 219, 73, 73};
        for (int k = 0; k < 7; ++k) {
            const auto items = pages[0].findAll(QString::fromLatin1(columns[k]));
            ASSERT_EQ(items.size(), 2u);
            EXPECT_GE(items[0]->rect.left(), lefts[k] - 1e-6) << columns[k];
            EXPECT_LE(items[0]->rect.right(), lefts[k] + widths[k] + 1e-6) << columns[k];
            EXPECT_GE(items[0]->font.size, ReportText::SmallestPoints);
            // Every line within its box, nothing cut.
            EXPECT_LE(ReportText::widestLine(items[0]->lines, items[0]->font), widths[k] + 1e-6) << columns[k];
            EXPECT_LE(items[0]->lines.size() * ReportText::lineHeight(items[0]->font),
                      items[0]->rect.height() + 1e-6) << columns[k];
            EXPECT_GE(items[1]->rect.top(), items[0]->rect.bottom()) << "the next row below it";
        }
        const auto joined = [&](const char *name) { return pages[0].findAll(QString::fromLatin1(name))[0]->lines.join(QString()); };
        EXPECT_EQ(joined("QRText2"), QString::fromLatin1(c.quantity));
        EXPECT_TRUE(joined("QRLabel18").endsWith(QString::fromLatin1(c.extended)));
    }
}

// Long texts of the vendor and ship-to blocks stay inside their frames, and long order values
// inside the printable area, in smaller sizes, every word printed.
TEST_F(ReportTest, LongBlockTextsStayInTheirFramesAndOnThePage)
{
    open("[Label41]\r\nTextValue=Northwind Industrial Supplies International Holdings Ltd\r\n"
         "[Label42]\r\nTextValue=orders@northwind-industrial-supplies.example.com\r\n"
         "[Label43]\r\nTextValue=Unit 7, The Long Industrial Estate Road, Far Away Business Park\r\n"
         "[Label32]\r\nTextValue=Receiving Department, Building C, Second Floor, Attn Jane Doe\r\n"
         "[Label37]\r\nTextValue=receiving.department@very-long-example-domain.example.org\r\n"
         "[Label35]\r\nTextValue=Net 30 days from receipt of a correct invoice\r\n"
         "[Label36]\r\nTextValue=UPS Ground Freight Collect Account 99-1234\r\n");
    const auto pages = run();
    ASSERT_EQ(pages.size(), 1u);
    const struct {
        const char *name;
        double left, right;
    } boxes[] = {
        {"QRText32", 52, 328}, {"QRText25", 52, 328}, {"QRText28", 52, 328},
        {"QRText8", 393, 669}, {"QRText20", 393, 669}, {"QRText21", 393, 669},
        {"QRText22", 0, 720},  {"QRText14", 0, 720},
    };
    for (const auto &b : boxes) {
        const PlacedItem *item = pages[0].find(QString::fromLatin1(b.name));
        ASSERT_NE(item, nullptr) << b.name;
        EXPECT_GE(item->rect.left(), b.left - 1e-6) << b.name;
        EXPECT_LE(item->rect.right(), b.right + 1e-6) << b.name;
        EXPECT_GE(item->font.size, ReportText::SmallestPoints) << b.name;
    }
    const auto words = [&](const char *name) { return pages[0].find(QString::fromLatin1(name))->lines.join(u' '); };
    EXPECT_TRUE(words("QRText22").endsWith(u"invoice"_s));
    EXPECT_TRUE(words("QRText14").endsWith(u"99-1234"_s));
    // What wraps moves what is below it down, a caption with its value and a frame with the
    // frame beside it.
    const auto top = [&](const char *name) { return pages[0].find(QString::fromLatin1(name))->rect.top(); };
    EXPECT_EQ(top("QRText22") - top("QRLabel9"), 1) << "Terms: beside its value";
    EXPECT_EQ(top("QRText14") - top("QRLabel21"), 1) << "Ship Via: beside its value";
    EXPECT_EQ(top("QRShape4"), top("QRShape2"));
    // An e-mail address too wide for its room at the smallest size breaks after a mark.
    const QStringList email = pages[0].find(u"QRText25"_s)->lines;
    EXPECT_GT(email.size(), 1);
    EXPECT_TRUE(email[0].endsWith(u'-') || email[0].endsWith(u'@')) << email.join(u'|').toStdString();
}

TEST_F(ReportTest, RunningTwiceGivesTheSamePages)
{
    open("[Currency]\r\nTextValue=$\r\n");
    row(0, u"2"_s, u"3.00"_s, u"6.00"_s);
    row(4, u"1"_s, u"1.00"_s, u"1.00"_s);
    report.reset();
    report = std::make_unique<TPurchaseOrderReport>(sheet->SheetFileName(), sheet->StringGrid1->Rows());
    const auto first = report->Run();
    const auto second = report->Run();
    ASSERT_EQ(first.size(), second.size());
    ASSERT_EQ(first[0].items.size(), second[0].items.size());
    for (size_t i = 0; i < first[0].items.size(); ++i) {
        EXPECT_EQ(first[0].items[i].rect, second[0].items[i].rect) << first[0].items[i].name.toStdString();
        EXPECT_EQ(first[0].items[i].lines, second[0].items[i].lines);
    }
}

TEST_F(ReportTest, ThePdfCarriesTheTextsAtTheirPlaces)
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    open("[Label2]\r\nTextValue=Acme Tools\r\n[Currency]\r\nTextValue=$\r\n[Label19]\r\nTextValue=6.00\r\n");
    row(0, u"2"_s, u"3.00"_s, u"6.00"_s, u"Claw hammer"_s);
    report.reset();
    report = std::make_unique<TPurchaseOrderReport>(sheet->SheetFileName(), sheet->StringGrid1->Rows());
    report->QuickRep1.title = u"Pelmora PO Form: PO Number 1 Printout"_s;
    ASSERT_TRUE(ReportPainter::writePdf(report->QuickRep1, path("order.pdf")));

    QProcess process;
    process.start(pdftotext, {u"-bbox"_s, path("order.pdf"), u"-"_s});
    ASSERT_TRUE(process.waitForFinished(20000));
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    // Word boxes are in points (1/72 inch); a layout unit is 1/96 inch, the margin 36 pt.
    const auto box = [&](const QString &word) -> QRectF {
        const QRegularExpression re(u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"_s
                                    + QRegularExpression::escape(word) + u"</word>"_s);
        const auto m = re.match(html);
        if (!m.hasMatch())
            return {};
        return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    };
    const auto toUnits = [](double pt) { return pt * 96 / 72 - 48; };
    const QRectF acme = box(u"Acme"_s);
    ASSERT_TRUE(acme.isValid()) << html.toStdString();
    EXPECT_NEAR(toUnits(acme.left()), 14, 3);
    EXPECT_NEAR(toUnits(acme.top()), 3, 6);
    const QRectF total = box(u"$6.00"_s);
    ASSERT_TRUE(total.isValid());
    EXPECT_NEAR(toUnits(total.right()), 712, 3);
    EXPECT_TRUE(box(u"hammer"_s).isValid());
    EXPECT_TRUE(html.contains(u"Pelmora PO Form: PO Number 1 Printout"_s));
}

// The words pdftotext finds on the pages of a PDF, with their boxes in points.
struct PdfWord
{
    int page = 0;
    QRectF box;
    QString text;
};

std::vector<PdfWord> pdfWords(const QString &pdftotext, const QString &pdf)
{
    QProcess process;
    process.start(pdftotext, {u"-bbox"_s, pdf, u"-"_s});
    if (!process.waitForFinished(20000))
        return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression re(u"<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"_s);
    std::vector<PdfWord> words;
    int page = 0;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(u"<page"_s)) {
            ++page;
            continue;
        }
        words.push_back({page, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                         m.captured(5)});
    }
    return words;
}

// An order file's sections, each written once however many entries reach it.
struct Ini
{
    std::vector<std::pair<QByteArray, QByteArray>> sections; // name, entries
    Ini operator+(const Ini &other) const
    {
        Ini sum = *this;
        for (const auto &[name, entries] : other.sections) {
            auto it = std::find_if(sum.sections.begin(), sum.sections.end(), [&](const auto &s) { return s.first == name; });
            if (it == sum.sections.end())
                sum.sections.push_back({name, entries});
            else
                it->second += entries;
        }
        return sum;
    }
    QByteArray bytes() const
    {
        QByteArray out;
        for (const auto &[name, entries] : sections)
            out += "[" + name + "]\r\n" + entries;
        return out;
    }
};

Ini fontOf(const char *key, const char *name, int points, bool bold = false)
{
    return {{{key, QByteArray("FontName=") + name + "\r\nFontSize=" + QByteArray::number(points) +
                       "\r\nFontStyle=" + (bold ? "1" : "0") + "\r\nFontColor=0\r\n"}}};
}

Ini textOf(const char *key, const char *text)
{
    return {{{key, QByteArray("TextValue=") + text + "\r\n"}}};
}

// Whatever the texts, figures and fonts of an order, its printed page keeps every word whole,
// readable, apart from every other and inside the printable area, and each font group in one
// size. Each case is printed to PDF and read back word by word.
TEST_F(ReportTest, ThePrintedPageKeepsEveryWordApartWholeAndReadable)
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    using Row = std::array<const char *, 7>; // qty, units, item no., name, description, price, amount
    const Ini dollar = textOf("Currency", "$");
    Ini footerFonts, bigFonts;
    for (const char *key : {"Label14", "Label15", "Label16", "Label17", "Label18", "Label19"})
        footerFonts = footerFonts + fontOf(key, "Courier New", 26, true);
    for (const char *key : {"Label2", "Label3"})
        bigFonts = bigFonts + fontOf(key, "Arial", 28, true);
    for (const char *key : {"Label20", "Label21", "Label22", "Label23", "Label24"})
        bigFonts = bigFonts + fontOf(key, "Arial", 22, true);
    for (const char *key : {"labelPONumber", "labelPODate", "Label34", "Label35", "Label36"})
        bigFonts = bigFonts + fontOf(key, "Courier New", 20);
    for (const char *key : {"Label41", "Label42", "Label43", "Label44", "Label32", "Label33", "Label37", "Label38", "Label40"})
        bigFonts = bigFonts + fontOf(key, "Arial", 16);
    for (const char *key : {"Label25", "Label26", "Label27", "Label28", "Label29", "Label30", "Label31"})
        bigFonts = bigFonts + fontOf(key, "Arial", 20, true);
    for (const char *key : {"Label1", "Label9", "Label10", "Label11", "Label12", "Label13"})
        bigFonts = bigFonts + fontOf(key, "Verdana", 24, true);
    bigFonts = bigFonts + fontOf("StringGrid1", "Arial", 24) + fontOf("Label8", "Arial", 3);
    const Ini longBlocks =
        textOf("Label41", "Northwind Industrial Supplies International Holdings Ltd") +
        textOf("Label42", "orders@northwind-industrial-supplies.example.com") +
        textOf("Label43", "Unit 7, The Long Industrial Estate Road, Far Away Business Park") +
        textOf("Label44", "Northampton NN4 7PA, Northamptonshire, United Kingdom of Great Britain") +
        textOf("Label32", "Receiving Department, Building C, Second Floor, Attn Jane Doe") +
        textOf("Label37", "receiving.department@very-long-example-domain.example.org") +
        textOf("Label33", "Pelmora Regional Distribution Centre and Warehouse Services") +
        textOf("Label35", "Net 30 days from receipt of a correct invoice") +
        textOf("Label36", "UPS Ground Freight Collect Account 99-1234");
    const Ini readmeOrder =
        dollar + textOf("Label2", "Pelmora Trading Ltd.") + textOf("Label3", "Unit 4, Harbourside Business Park") +
        textOf("Label4", "Bristol BS1 5TY, United Kingdom") + textOf("Label6", "Tel. +44 117 496 0321") +
        textOf("Label5", "purchasing@pelmora-trading.co.uk") +
        textOf("Label8", "Deliver to loading dock 2, Monday to Friday, 8:00 to 16:00. Quote the PO number on every delivery note and invoice.") +
        textOf("labelPONumber", "PO-2026-0417") + textOf("Label34", "ACC-20931") + textOf("Label35", "Net 30 days") +
        textOf("Label36", "DHL Freight") + textOf("Label41", "Northwind Hardware") + textOf("Label42", "+49 30 901820") +
        textOf("Label43", "Friedrichstrasse 120") + textOf("Label44", "10117 Berlin, Germany") +
        textOf("Label32", "Dana Whitfield") + textOf("Label37", "+44 117 496 0388") +
        textOf("Label33", "Pelmora Trading Ltd.") + textOf("Label38", "Unit 7, Avonmouth Docks") +
        textOf("Label40", "Bristol BS11 9FG") + textOf("Label14", "719.45") + textOf("Label15", "25.00") +
        textOf("Label16", "18.50") + textOf("Label17", "142.59") + textOf("Label19", "855.54") +
        textOf("Country", "GBP");
    const std::vector<Row> readmeRows = {
        Row{"12", "Each", "NW-1042", "Claw hammer", "450 g head, fibreglass handle", "14.95", "179.40"},
        Row{"4", "Box", "NW-2210", "Wood screws", "Countersunk 4 x 40 mm, zinc plated, box of 200", "8.40", "33.60"},
        Row{"2", "Each", "NW-3301", "Cordless drill", "18 V brushless drill driver with two 2.0 Ah batteries, charger and case", "129.00", "258.00"},
        Row{"25", "m", "NW-5120", "Rubber cable", "H07RN-F 3G1.5, sold by the metre", "2.35", "58.75"},
        Row{"6", "Pair", "NW-7788", "Work gloves", "Nitrile coated, size 9", "3.80", "22.80"},
        Row{"1", "Set", "NW-9001", "Drill bits", "HSS set, 1 to 10 mm, 19 pieces", "24.50", "24.50"},
    };
    const QString longDescription = QString(u"a long description of the item "_s).repeated(12);
    const QByteArray longDescriptionBytes = longDescription.toUtf8();
    // A row taller than a page: it goes on over the next page, every word printed.
    const QByteArray pageLong = QString(u"fasteners of every kind "_s).repeated(60).append(u"metric threads"_s).toUtf8();
    const struct Case {
        const char *what;
        Ini file;
        std::vector<Row> rows;
        int pages;
        QStringList lastWords = {}; // printed at the end of the last page with rows
    } cases[] = {
        {"nine amounts below 10^13 in Courier New 10",
         fontOf("StringGrid1", "Courier New", 10) + dollar + textOf("Label14", "89999999999999.91") +
             textOf("Label19", "89999999999999.91"),
         std::vector<Row>(9, Row{"1", "", "", "", "", "9999999999999.99", "9999999999999.99"}), 1},
        {"10^13 and 10^14 in the default font",
         dollar + textOf("Label14", "110000000000000.00"),
         {Row{"1", "", "", "", "", "10000000000000.00", "10000000000000.00"},
          Row{"1", "", "", "", "", "100000000000000.00", "100000000000000.00"}}, 1},
        {"10^12 with US$", textOf("Currency", "US$") + textOf("Label14", "1000000000000.00"),
         {Row{"1", "", "", "", "", "1000000000000.00", "1000000000000.00"}}, 1},
        {"long vendor, ship-to, terms and ship via", longBlocks, {}, 1},
        {"footer amounts in Courier New 26 bold",
         footerFonts + dollar + textOf("Label14", "12345.67") + textOf("Label15", "250.00") +
             textOf("Label16", "1234.50") + textOf("Label17", "2469.13") + textOf("Label18", "100.00") +
             textOf("Label19", "-123456789.00"),
         {Row{"1", "", "", "", "", "12345.67", "12345.67"}}, 1},
        {"quantities wider than their column", {},
         {Row{"1.0049999999999999999", "Each", "", "", "", "1.00", "1.00"},
          Row{"123456789012345", "Boxes of twelve", "", "", "", "1.00", "123456789012345.00"}}, 1},
        {"the README's order", readmeOrder, readmeRows, 1},
        {"large fonts everywhere", bigFonts + longBlocks + readmeOrder, readmeRows, 2},
        {"a row taller than a page", fontOf("StringGrid1", "Arial", 14) + dollar,
         {Row{"2", "Box", "FAST-01", "Fasteners", pageLong.constData(), "45.00", "90.00"},
          Row{"1", "Each", "TOOL-02", "Torque wrench", "Calibrated 20-100 Nm", "89.00", "89.00"}}, 3,
         {u"metric"_s, u"threads"_s, u"wrench"_s}},
        {"long descriptions over two pages", dollar,
         std::vector<Row>(9, Row{"1", "Each", "", "", longDescriptionBytes.constData(), "3.5", "3.50"}), 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        open(c.file.bytes());
        for (size_t r = 0; r < c.rows.size(); ++r) {
            for (int col = 0; col < 7; ++col)
                sheet->StringGrid1->SetCell(col, int(r), QString::fromUtf8(c.rows[r][col]));
        }
        const auto pages = run();
        EXPECT_EQ(int(pages.size()), c.pages);
        for (const ReportPage &page : pages) {
            std::map<int, std::set<int>> groupSizes;
            for (const PlacedItem &item : page.items) {
                if (item.kind != PlacedItem::Kind::Text || item.text.isEmpty())
                    continue;
                const std::string name = item.name.toStdString();
                EXPECT_GE(item.font.size, ReportText::SmallestPoints) << name;
                // Never cut: every character printed, in order.
                EXPECT_EQ(item.lines.join(QString()).remove(u' '), QString(item.text).remove(u' ').remove(u'\n')) << name;
                EXPECT_GE(item.rect.left(), 0.5) << name;
                EXPECT_LE(item.rect.right(), Report::PrintableWidth - 0.5) << name;
                EXPECT_LE(item.rect.top() + item.lines.size() * ReportText::lineHeight(item.font),
                          Report::PrintableHeight - 0.5) << name;
                if (item.group != 0)
                    groupSizes[item.group].insert(item.font.size);
            }
            for (const auto &[group, sizes] : groupSizes)
                EXPECT_EQ(sizes.size(), 1u) << "font group " << group << " prints in one size";
        }

        report->QuickRep1.title = u"Printout"_s;
        ASSERT_TRUE(ReportPainter::writePdf(report->QuickRep1, path("order.pdf")));
        const std::vector<PdfWord> words = pdfWords(pdftotext, path("order.pdf"));
        ASSERT_GT(words.size(), 10u);
        // The printable area in points: half an inch in from each edge of a Letter page.
        const QRectF printable(36, 36, 612 - 72, 792 - 72);
        for (size_t i = 0; i < words.size(); ++i) {
            const PdfWord &w = words[i];
            const std::string text = w.text.toStdString();
            EXPECT_TRUE(printable.adjusted(0.5, 0.5, -0.5, -0.5).contains(w.box)) << text << " off the printable area";
            EXPECT_GE(w.box.height(), ReportText::SmallestPoints - 0.05) << text << " too small to read";
            for (size_t j = i + 1; j < words.size(); ++j) {
                const QRectF both = w.box.intersected(words[j].box);
                EXPECT_FALSE(w.page == words[j].page && both.width() > 0.2 && both.height() > 0.2)
                    << text << " and " << words[j].text.toStdString() << " overlap";
            }
        }
        QStringList missing = c.lastWords;
        for (const PdfWord &w : words)
            missing.removeAll(w.text);
        EXPECT_EQ(missing, QStringList()) << "printed";
        if (c.pages > 1) {
            int numbered = 0;
            for (const PdfWord &w : words)
                numbered += w.text == u"Page"_s;
            EXPECT_EQ(numbered, c.pages);
        }
    }
}

} // namespace
