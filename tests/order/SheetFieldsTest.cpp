#include "QtPrinters.h"
#include "SheetFields.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList persistedNames()
{
    QStringList names;
    for (const FieldSpec &f : SheetFields::components()) {
        if (f.isPersisted())
            names << f.nameString();
    }
    return names;
}

TEST(SheetFields, PersistedFieldsComeInComponentOrder)
{
    // The order in which a sheet is read and written, and so the order of a new file.
    const QStringList expected = QStringLiteral(
        "Label1 Label7 Label8 Label9 Label10 Label11 Label12 Label13 Label14 Label15 Label16 "
        "Label17 Label18 Label19 Label20 Label21 Label22 Label23 Label24 labelPONumber "
        "labelPODate Label34 Label35 Label36 Label39 labelHelp labelForLogo GroupBox1 Label41 "
        "Label43 Label44 Label42 GroupBox2 Label32 Label33 Label37 Label38 Label40 Label2 Label3 "
        "Label4 Label5 Label6 Label25 Label26 Label27 Label28 Label29 Label30 Label31")
                                     .split(u' ');
    EXPECT_EQ(persistedNames(), expected);
    EXPECT_EQ(SheetFields::components().size(), 64u);
}

TEST(SheetFields, EveryParentIsBuiltBeforeItsChildren)
{
    QSet<QString> seen;
    for (const FieldSpec &f : SheetFields::components()) {
        const QString parent = QString::fromLatin1(f.parent);
        if (!parent.isEmpty()) {
            EXPECT_TRUE(seen.contains(parent)) << f.name << " before " << f.parent;
        }
        EXPECT_FALSE(seen.contains(f.nameString())) << "duplicate " << f.name;
        seen.insert(f.nameString());
    }
}

TEST(SheetFields, FontGroupsFollowTheTags)
{
    const auto names = [](int tag) {
        QStringList out;
        for (const FieldSpec *f : SheetFields::labelsWithTag(tag))
            out << f->nameString();
        return out;
    };
    EXPECT_EQ(names(100), QStringLiteral("Label41 Label43 Label44 Label42 Label32 Label33 "
                                         "Label37 Label38 Label40")
                              .split(u' '));
    EXPECT_EQ(names(SheetFields::FooterValuesTag),
              QStringLiteral("Label14 Label15 Label16 Label17 Label18 Label19").split(u' '));
    EXPECT_EQ(names(1), QStringList{u"Label3"_s});
    EXPECT_EQ(names(150), QStringList{}) << "group boxes are not labels";
}

TEST(SheetFields, DefaultTextsKeepTheirBlanks)
{
    EXPECT_EQ(SheetFields::find(u"Label41")->textString(), u"Vendor Company  Name "_s);
    EXPECT_EQ(SheetFields::find(u"GroupBox2")->textString(), u" Ship To: "_s);
    EXPECT_EQ(SheetFields::find(u"Label26")->hint, std::string_view("Units Header Label (Each, Per M, Monthly) "));
    EXPECT_EQ(SheetFields::find(u"Label39")->hint, std::string_view("\"Approval\" Line Label"));
    EXPECT_EQ(SheetFields::find(u"nothing"), nullptr);
}

TEST(SheetFields, RightAlignedLabelsKeepTheirRightEdge)
{
    struct Case
    {
        const char *name;
        int right;
    };
    for (const Case &c : {Case{"Label7", 752}, {"Label1", 675}, {"Label13", 675},
                          {"Label14", 758}, {"Label19", 758}}) {
        const FieldSpec *f = SheetFields::find(QString::fromLatin1(c.name));
        EXPECT_TRUE(f->geometry.keepsRightEdge) << c.name;
        EXPECT_EQ(f->geometry.right(), c.right) << c.name;
        EXPECT_EQ(f->alignment, Alignment::Right) << c.name;
    }
}

TEST(SheetFields, CellKeysAreColumnThenRow)
{
    EXPECT_EQ(SheetFields::TableKey(6, 8), u"Table68"_s);
    EXPECT_EQ(SheetFields::TableKey(0, 3), u"Table03"_s);
    EXPECT_EQ(SheetFields::TableKey(5, 0), u"Table50"_s);
}

} // namespace
