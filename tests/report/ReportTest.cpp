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
    const PlacedItem *notes = pages[0].find(u"QRText15"_s);
    EXPECT_LE(notes->lines.size() * ReportText::lineHeight(notes->font), 85.0 + 1e-6)
        << "a fixed box prints only the lines that fit";

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

// However wide the figures and texts, no printed word covers another: a figure or a
// right-aligned text too wide for its room prints in a smaller size of its font.
TEST_F(ReportTest, NoTwoPrintedWordsOverlap)
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    open("[Currency]\r\nTextValue=$\r\n"
         "[Label41]\r\nTextValue=Northwind Fasteners Ltd\r\n"
         "[Label42]\r\nTextValue=orders@northwind.example.com\r\n"
         "[Label32]\r\nTextValue=Pelmora Regional Distribution Centre\r\n"
         "[Label37]\r\nTextValue=+44 (0)20 7946 0958 ext. 4471\r\n"
         "[Label20]\r\nTextValue=Purchase Order:\r\n"
         "[labelPONumber]\r\nTextValue=2026/000017\r\n"
         "[Label14]\r\nTextValue=1235802457.89\r\n"
         "[Label16]\r\nTextValue=123456789012.00\r\n"
         "[Label19]\r\nTextValue=-1234567890123.45\r\n");
    row(0, u"1"_s, u"1234567.89"_s, u"1234567.89"_s, u"Pallet racking"_s);
    row(1, u"1000"_s, u"1234567.89"_s, u"1234567890.00"_s, u"Bulk order"_s);
    row(2, u"123456789"_s, u"100000.00"_s, u"100000.00"_s, u"Bolts"_s);
    report.reset();
    report = std::make_unique<TPurchaseOrderReport>(sheet->SheetFileName(), sheet->StringGrid1->Rows());
    ASSERT_TRUE(ReportPainter::writePdf(report->QuickRep1, path("order.pdf")));

    QProcess process;
    process.start(pdftotext, {u"-bbox"_s, path("order.pdf"), u"-"_s});
    ASSERT_TRUE(process.waitForFinished(20000));
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression re(u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"_s);
    struct Word
    {
        QRectF box;
        QString text;
    };
    std::vector<Word> words;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                         m.captured(5)});
    }
    ASSERT_GT(words.size(), 40u);
    QStringList expected{u"$1234567.89"_s, u"$1234567890.00"_s, u"$100000.00"_s, u"123456789"_s,
                         u"orders@northwind.example.com"_s, u"-$1234567890123.45"_s};
    for (const Word &w : words)
        expected.removeAll(w.text);
    EXPECT_EQ(expected, QStringList()) << "printed whole" << html.toStdString();
    for (size_t i = 0; i < words.size(); ++i) {
        for (size_t j = i + 1; j < words.size(); ++j) {
            const QRectF both = words[i].box.intersected(words[j].box);
            EXPECT_FALSE(both.width() > 0.2 && both.height() > 0.2)
                << words[i].text.toStdString() << " and " << words[j].text.toStdString();
        }
    }
}

} // namespace
