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
        {"5e4931", "1", '.', "5E+4931"},  // near the top of the range: a number still
        // Eighteen significant digits: the cents hold below 10^16, and are rounded from there.
        {"1", "1234567890123456.78", '.', "1234567890123456.78"},
        {"1", "9999999999999999.99", '.', "9999999999999999.99"},
        {"1", "12345678901234567.89", '.', "12345678901234567.90"},
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

// Every sum is exact to the cent, whatever the size of the amounts below 10^17.
TEST(Totals, TheSubtotalIsExactToTheCent)
{
    struct Case
    {
        QStringList extended;
        const char *subtotal;
    };
    const Case cases[] = {
        {{"1234567.89"}, "1234567.89"},
        {QStringList(9, u"1000000.01"_s), "9000000.09"},
        {QStringList(9, u"1000000000000.00"_s), "9000000000000.00"},
        {QStringList(9, u"9999999999999.99"_s), "89999999999999.91"},
        {{"1234567890.00", "0.01"}, "1234567890.01"},
        {{"7.00", "", "abc", " 3.00 ", "-1.50", "", "", "", ""}, "8.50"},
        {{"0.1", "0.2"}, "0.30"},
        {{"0.005", "0.005"}, "0.02"}, // each row as its text shows it: 0.01 and 0.01
    };
    for (const Case &c : cases) {
        EXPECT_EQ(NumberText::format(LineItemsTotal(c.extended, '.'), '.'), QString::fromLatin1(c.subtotal))
            << c.extended.join(u' ').toStdString();
    }
    EXPECT_EQ(ExtendedAmount(u"0.005", u"1", '.'), u"0.01"_s);
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
    const long double tax = TaxTotal(sheet.reader(), u"20.00", extended, '.');
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
    EXPECT_EQ(TaxTotal(plain.reader(), u"abc", QStringList(9, QString()), '.'), 0.0L);
}

// The tax is exact until it is rounded once, to the cent, at the end.
TEST(Totals, TheTaxIsRoundedOnce)
{
    struct Case
    {
        QHash<QString, QString> rates;
        QString shipping;
        QStringList extended;
        const char *tax;
    };
    const Case cases[] = {
        {{{"Tax-On-Table40", "5"}, {"Tax-On-Table41", "5"}}, "", {"0.10", "0.10"}, "0.01"}, // 0.005 + 0.005
        {{{"Tax-On-Table40", "100"}, {"Tax-On-Table41", "100"}, {"Tax-On-Table42", "100"}},
         "", {"16777216", "1", "1"}, "16777218.00"},
        {{{"Tax-On-Table40", "8.25"}}, "", {"1234567890.00"}, "101851850.93"},
        {{{"Tax-on-Shipping", "7.5"}}, "0.10", {}, "0.01"},
        {{{"Tax-On-Table40", "0"}}, "", {"INF"}, "0.00"},
        {{{"Tax-On-Table40", "10"}}, "", {"INF"}, "INF"},
        {{{"Tax-On-Table40", "10"}}, "", {"5E+4931"}, "5E+4930"}, // no overflow on the way
    };
    for (const Case &c : cases) {
        FakeSheet sheet;
        sheet.values = c.rates;
        EXPECT_EQ(NumberText::format(TaxTotal(sheet.reader(), c.shipping, c.extended, '.'), '.'),
                  QString::fromLatin1(c.tax))
            << c.extended.join(u' ').toStdString();
    }
}

TEST(Totals, BalanceDueAddsTheDisplayedFiguresExactly)
{
    FooterAmounts a{"100", "10", "abc", "7.004", "-2.5"};
    EXPECT_EQ(NumberText::format(BalanceDue(a, '.'), '.'), u"94.50"_s);
    EXPECT_EQ(a.subtotal, u"100.00"_s);
    EXPECT_EQ(a.discounts, u"-10.00"_s);
    EXPECT_EQ(a.shipping, u"0.00"_s);
    EXPECT_EQ(a.tax, u"7.00"_s);
    EXPECT_EQ(a.credited, u"-2.50"_s);

    struct Case
    {
        FooterAmounts amounts;
        const char *balance;
    };
    const Case cases[] = {
        {{"1234567890.00", "", "", "2.50", ""}, "1234567892.50"},
        {{"1234567.89", "0.01", "", "", ""}, "1234567.88"},
        {{"9999999999999.99", "", "0.01", "", "0.01"}, "9999999999999.99"},
        {{"16777216", "", "1", "1", ""}, "16777218.00"},
        // An overflowed figure is never left out: the balance overflows with it.
        {{"INF", "", "3", "", ""}, "INF"},
        {{"5", "INF", "", "", ""}, "-INF"},
        {{"INF", "", "", "-INF", ""}, "NAN"},
        {{"NAN", "", "1", "", ""}, "NAN"}, // a subtotal where both met stays shown and counted
        // Text that merely looks like an overflow is no number.
        {{"inf", "INFINITY", "2", "", ""}, "2.00"},
        // Amounts near the top of the range add up without overflowing on the way to cents.
        {{"5E+4931", "", "2", "", ""}, "5E+4931"},
        {{"5E+4931", "", "", "5E+4931", ""}, "1E+4932"},
    };
    for (Case c : cases) {
        EXPECT_EQ(NumberText::format(BalanceDue(c.amounts, '.'), '.'), QString::fromLatin1(c.balance))
            << c.amounts.subtotal.toStdString() << " " << c.amounts.tax.toStdString();
    }
    const QString product = ExtendedAmount(u"1E+3000", u"1E+3000", '.');
    EXPECT_EQ(product, u"INF"_s);
    EXPECT_EQ(NumberText::format(LineItemsTotal(QStringList{product, "2"}, '.'), '.'), u"INF"_s);
    // The sheet's subtotal of a row it can show is that row, not an overflow.
    EXPECT_EQ(NumberText::format(LineItemsTotal(QStringList{"5E+4931", "2.50"}, '.'), '.'), u"5E+4931"_s);
}

} // namespace

namespace {

// Which typed quantities and prices the total cannot count, row by row.
TEST(Totals, TypedCellsThatAreNoNumbersAreFound)
{
    const auto row = [](const char *quantity, const char *price) {
        QStringList cells(7, QString());
        cells[0] = QString::fromUtf8(quantity);
        cells[5] = QString::fromUtf8(price);
        return cells;
    };
    const QList<QStringList> rows = {
        row("2", "$3.50"),    row("2", "1,000.00"), row("3", "2.50"), row("", ""),
        row("two", "3"),      row(" ", " 4 "),      row("1e2", ""),   row("x", "y"),
        row("", "n/a"),
    };
    const QList<SheetArithmetic::UncountedCell> found = SheetArithmetic::UncountedCells(rows, '.');
    QStringList seen;
    for (const auto &c : found)
        seen << QStringLiteral("%1:%2:%3").arg(c.row).arg(c.column).arg(c.text);
    EXPECT_EQ(seen, (QStringList{"0:5:$3.50", "1:5:1,000.00", "4:0:two", "7:0:x", "7:5:y", "8:5:n/a"}));
    // With a comma for the decimal separator, "1,000.00" is still no number, "2,50" is one.
    EXPECT_TRUE(SheetArithmetic::UncountedCells({row("1", "2,50")}, ',').isEmpty());
}

} // namespace
