#include "QtPrinters.h"
#include "NumberText.h"
#include "SheetArithmetic.h"

#include <QHash>
#include <cmath>
#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace SheetArithmetic;

namespace {

TEST(CellRule, ExtendedAmountIsQuantityTimesPriceOrEmpty)
{
    struct Case
    {
        QString quantity, price;
        QChar sep;
        QString expected;
    };
    const Case cases[] = {
        {"2", "3.5", '.', "7.00"},
        {"abc", "3.5", '.', ""},
        {"2", " 3.50 ", '.', "7.00"},
        {"2", "$3.50", '.', ""},
        {"2", "1,000.00", '.', ""},
        {"2", "3,5", ',', "7,00"},
        {"1e2", "1", '.', "100.00"},
        {".", "5", '.', "0.00"},
        {"-", "5", '.', ""},
        {"1", "0.125", '.', "0.13"},
        {"", "3", '.', ""},
        {"-2", "3", '.', "-6.00"},
        {"1e3000", "1e3000", '.', "INF"}, // beyond range: shown, but no number to sum
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ExtendedAmount(c.quantity, c.price, c.sep), c.expected)
            << c.quantity.toStdString() << " x " << c.price.toStdString();
    }
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(AffectsExtended(column), column == 0 || column == 5 || column == 6) << column;
}

TEST(FooterValues, AmountsAndDeductionsAreNormalised)
{
    struct Case
    {
        QString caption, amount, deduction;
    };
    const Case cases[] = {
        {"10", "10.00", "-10.00"},
        {"-10", "-10.00", "-10.00"},
        {"abc", "0.00", "0.00"},
        {"0.001", "0.00", "0.00"},
        {" 20 ", "20.00", "-20.00"},
        {"$5", "0.00", "0.00"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FormatAmount(c.caption, '.'), c.amount) << c.caption.toStdString();
        EXPECT_EQ(FormatDeduction(c.caption, '.'), c.deduction) << c.caption.toStdString();
    }
}

TEST(Totals, TheSubtotalIsSummedInSinglePrecision)
{
    const QStringList nine(9, u"1000000.01"_s);
    const float total = LineItemsTotal(nine, '.');
    EXPECT_EQ(NumberText::format(total, '.'), u"9000000.00"_s) << "the cents must be lost";

    const QStringList mixed{"7.00", "", "abc", " 3.00 ", "-1.50", "", "", "", ""};
    EXPECT_EQ(LineItemsTotal(mixed, '.'), 8.5f);
}

// Sheet values as the caption store would give them, with every read recorded.
struct FakeSheet
{
    QHash<QString, QString> values;
    QStringList reads;
    TextReader reader()
    {
        return [this](const QString &section) {
            reads << section;
            return values.value(section);
        };
    }
};

TEST(Totals, TaxCoversShippingAndEachTaxedRow)
{
    FakeSheet sheet;
    sheet.values = {{"Tax-on-Shipping", "5"}, {"Tax-On-Table40", "8.25"},
                    {"Tax-On-Table42", "abc"}, {"Tax-On-Table48", "10"}};
    const QStringList extended{"100.00", "50.00", "30.00", "   ", "", "", "", "", "10.00"};
    const float tax = TaxTotal(sheet.reader(), u"20.00", extended, '.');
    // 5% of 20 + 8.25% of 100; row 1 has no percentage, row 2 an unreadable one, row 8 10%.
    EXPECT_EQ(NumberText::format(tax, '.'), u"10.25"_s);
    EXPECT_EQ(sheet.reads, (QStringList{"Tax-on-Shipping", "Tax-On-Table40", "Tax-On-Table41",
                                        "Tax-On-Table42", "Tax-On-Table48"}))
        << "blank rows are skipped before their percentage is read";

    FakeSheet plain;
    plain.values = {{"Tax-On-Table40", "8.25"}, {"Tax-on-Shipping", "5"}};
    EXPECT_EQ(NumberText::format(TaxTotal(plain.reader(), u"20.00",
                                          QStringList{"100.00", "", "", "", "", "", "", "", ""},
                                          '.'),
                                 '.'),
              u"9.25"_s);
    EXPECT_EQ(TaxTotal(plain.reader(), u"abc", QStringList(9, QString()), '.'), 0.0f);
}

TEST(Totals, TaxIsKeptInSinglePrecisionAfterEveryRow)
{
    FakeSheet sheet;
    sheet.values = {{"Tax-On-Table40", "100"}, {"Tax-On-Table41", "100"}, {"Tax-On-Table42", "100"}};
    // 16777216 + 1 + 1 in floats stays 16777216; in extended precision it would be ...218.
    const QStringList extended{"16777216", "1", "1", "", "", "", "", "", ""};
    EXPECT_EQ(TaxTotal(sheet.reader(), u"", extended, '.'), 16777216.0f);
}

TEST(Totals, BalanceDueAddsTheDisplayedFiguresOnce)
{
    FooterAmounts a{"100", "10", "abc", "7.004", "-2.5"};
    EXPECT_EQ(BalanceDue(a, '.'), 94.5f);
    EXPECT_EQ(a.subtotal, u"100.00"_s);
    EXPECT_EQ(a.discounts, u"-10.00"_s);
    EXPECT_EQ(a.shipping, u"0.00"_s);
    EXPECT_EQ(a.tax, u"7.00"_s);
    EXPECT_EQ(a.credited, u"-2.50"_s);

    // Added in extended precision and rounded once: 16777216 + 1 + 1 is 16777218.
    FooterAmounts big{"16777216", "", "1", "1", ""};
    EXPECT_EQ(BalanceDue(big, '.'), 16777218.0f);
}

// A subtotal beyond single precision shows "INF" rather than a false "0.00", and counts as
// no number in the balance, as an overflowing line product already does in the subtotal.
TEST(Totals, AnOverflowShowsAsSuchAndCountsAsNoNumber)
{
    const QStringList extended{"1E+40", "5", "", "", "", "", "", "", ""};
    const float subtotal = LineItemsTotal(extended, '.');
    EXPECT_TRUE(std::isinf(subtotal));
    FooterAmounts a{NumberText::format(subtotal, '.'), "INF", "3", " -INF ", ""};
    EXPECT_EQ(BalanceDue(a, '.'), 3.0f);
    EXPECT_EQ(a.subtotal, u"INF"_s);
    EXPECT_EQ(a.discounts, u"-INF"_s);
    EXPECT_EQ(a.tax, u"-INF"_s);
    // A product that overflows in its cell is passed over by the subtotal.
    const QString product = ExtendedAmount(u"1E+3000", u"1E+3000", '.');
    EXPECT_EQ(product, u"INF"_s);
    EXPECT_EQ(LineItemsTotal(QStringList{product, "2"}, '.'), 2.0f);
    // Text that merely looks like it stays no number.
    FooterAmounts b{"inf", "INFINITY", "", "", ""};
    BalanceDue(b, '.');
    EXPECT_EQ(b.subtotal, u"0.00"_s);
    EXPECT_EQ(b.discounts, u"0.00"_s);
}

} // namespace
