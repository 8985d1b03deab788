#include "QtPlatform.h"

#include <gtest/gtest.h>

// Qt takes a name filter's patterns from its parentheses, split at blanks: every pattern of
// the program's own filters must come out as a separate one.
TEST(QtNameFilter, EveryPatternStandsAlone)
{
    const struct { const char *filter, *expected; } cases[] = {
        {"All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|Bitmaps (*.bmp)|*.bmp",
         "All (*.jpg *.jpeg *.bmp);;Bitmaps (*.bmp)"},
        {"Purchase Order Form Files (*.pof)|*.pof|Standard Configuration Files|*.ini; *.inf",
         "Purchase Order Form Files (*.pof);;Standard Configuration Files (*.ini *.inf)"},
        {"PDF Files (*.pdf)|*.pdf", "PDF Files (*.pdf)"},
        // A description whose brackets say something else still gets the real patterns.
        {"Logos (old)|*.wmf", "Logos (*.wmf)"},
        {"Odd|", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(qtNameFilter(QString::fromUtf8(c.filter)).toStdString(), c.expected) << c.filter;
}
