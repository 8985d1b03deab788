#include "FontConvert.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

SheetFont font(const QString &name, int size, bool bold = false)
{
    SheetFont f;
    f.name = name;
    f.size = size;
    f.color = 0x0000FF;
    f.style.bold = bold;
    return f;
}

} // namespace

// The Windows faces of the sheet open the dialog on an installed family that the dialog can
// show, in the stored style; confirmed unchanged, the font comes back exactly as given.
TEST(FontDialog, OpensOnTheDrawnFamilyAndGivesBackWhatWasNotChanged)
{
    FontConvert::installFontSubstitutions();
    const QStringList installed = QFontDatabase::families();
    for (const SheetFont &given : {font(u"Arial"_s, 10, true), font(u"MS Sans Serif"_s, 8),
                                   font(u"Courier New"_s, 9), font(u"DejaVu Serif"_s, 12)}) {
        const QFont shown = FontConvert::forFontDialog(given);
        EXPECT_TRUE(installed.contains(shown.family())) << shown.family().toStdString();
        EXPECT_EQ(shown.bold(), given.style.bold);
        EXPECT_EQ(shown.pointSize(), given.size);
        EXPECT_EQ(FontConvert::fromFontDialog(given, shown), given) << given.name.toStdString();
    }
}

TEST(FontDialog, APickedFamilyIsStoredUnderItsOwnNameAndStyleChangesKeepTheFace)
{
    FontConvert::installFontSubstitutions();
    const SheetFont arial = font(u"Arial"_s, 10, true);

    QFont other = FontConvert::forFontDialog(arial);
    other.setFamily(u"DejaVu Serif"_s);
    const SheetFont picked = FontConvert::fromFontDialog(arial, other);
    EXPECT_EQ(picked.name, u"DejaVu Serif"_s);
    EXPECT_EQ(picked.color, arial.color);

    QFont larger = FontConvert::forFontDialog(arial);
    larger.setPointSize(14);
    larger.setBold(false);
    larger.setItalic(true);
    const SheetFont restyled = FontConvert::fromFontDialog(arial, larger);
    EXPECT_EQ(restyled.name, u"Arial"_s);
    EXPECT_EQ(restyled.size, 14);
    EXPECT_FALSE(restyled.style.bold);
    EXPECT_TRUE(restyled.style.italic);
}
