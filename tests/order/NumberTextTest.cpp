#include "QtPrinters.h"
#include "NumberText.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(NumberText, ParsesByTheSheetsNumberRule)
{
    struct Case
    {
        QString text;
        QChar sep;
        std::optional<long double> expected;
    };
    const std::optional<long double> no;
    const Case cases[] = {
        {"7", '.', 7.0L},
        {"  3.50  ", '.', 3.5L},
        {"-2.5", '.', -2.5L},
        {"+4", '.', 4.0L},
        {"1e2", '.', 100.0L},
        {"1E-2", '.', 0.01L},
        {"1e", '.', 1.0L},
        {"1e+", '.', 1.0L},
        {".", '.', 0.0L},
        {"-.", '.', 0.0L},
        {"5.", '.', 5.0L},
        {".5", '.', 0.5L},
        {".e5", '.', 0.0L},
        {"3,5", ',', 3.5L},
        {"1e5000", '.', no}, // beyond the extended range
        {"1e-5000", '.', 0.0L},
        {"-", '.', no},
        {"+", '.', no},
        {"", '.', no},
        {"   ", '.', no},
        {"$3.50", '.', no},
        {"1,000.00", '.', no},
        {"3.5", ',', no},
        {"5%", '.', no},
        {"e5", '.', no},
        {"1 2", '.', no},
        {"1e2e3", '.', no},
        {"\t5", '.', no},
        {"--5", '.', no},
        {"1.2.3", '.', no},
        {u"\u0663"_s, '.', no}, // a digit of another script
    };
    for (const Case &c : cases)
        EXPECT_EQ(NumberText::parse(c.text, c.sep), c.expected) << c.text.toStdString();
}

TEST(NumberText, FormatsTwoDecimalsHalfAwayFromZero)
{
    struct Case
    {
        long double value;
        QString expected;
    };
    const Case cases[] = {
        {7, "7.00"},
        {1.005L, "1.01"}, // just below 1.005 in binary, 1.005 at 18 digits
        {2.675L, "2.68"},
        {0.125L, "0.13"},
        {-0.125L, "-0.13"},
        {0.005L, "0.01"},
        {0.0049L, "0.00"},
        {-0.001L, "0.00"},
        {-0.0L, "0.00"},
        {0.0004L, "0.00"},
        {999.995L, "1000.00"},
        {-1234.5L, "-1234.50"},
        {1000000.01L, "1000000.01"},
        {123456789012345678.0L, "123456789012345678.00"},
        {1e17L, "100000000000000000.00"},
        {1e18L, "1E+18"},
        {-1.5e20L, "-1.5E+20"},
        {std::numeric_limits<long double>::infinity(), "INF"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NumberText::format(c.value, '.'), c.expected) << double(c.value);
}

TEST(NumberText, FormatsWithTheCallersSeparatorAndPrefix)
{
    EXPECT_EQ(NumberText::format(1234.5L, ','), u"1234,50"_s);
    EXPECT_EQ(NumberText::format(1234.5L, '.', u"$"), u"$1234.50"_s);
    EXPECT_EQ(NumberText::format(-12, '.', u"$"), u"-$12.00"_s);
    EXPECT_EQ(NumberText::format(-0.001L, '.', u"£"), u"£0.00"_s);
    EXPECT_EQ(NumberText::format(5, '.', u""), u"5.00"_s);
}

TEST(NumberText, FormattedAmountsParseBackToTheSameText)
{
    for (long double v : {0.0L, 0.01L, -7.5L, 1e15L, 3e19L, -4.25e30L}) {
        const QString text = NumberText::format(v, ',');
        const auto back = NumberText::parse(text, ',');
        ASSERT_TRUE(back.has_value()) << text.toStdString();
        EXPECT_EQ(NumberText::format(*back, ','), text);
    }
}

} // namespace

namespace {

TEST(NumberText, PricesPrintWithAtLeastTwoDecimals)
{
    const struct {
        const char *typed;
        QChar sep;
        const char *printed;
    } cases[] = {
        {"3.5", '.', "3.50"},   {"4", '.', "4.00"},       {"0.125", '.', "0.125"}, {" 2.5 ", '.', "2.50"},
        {"-1.5", '.', "-1.50"}, {"3,5", ',', "3,50"},     {"3.5", ',', "3.5"},     {"1e2", '.', "1e2"},
        {"$3.50", '.', "$3.50"}, {"", '.', ""},           {"12.", '.', "12.00"},   {".5", '.', ".5"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(NumberText::withTwoDecimals(QString::fromUtf8(c.typed), c.sep), QString::fromUtf8(c.printed))
            << c.typed;
    }
}

} // namespace
