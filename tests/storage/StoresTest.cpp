#include "QtPrinters.h"
#include "GenUtils.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"
#include "TempDir.h"

using namespace Qt::StringLiterals;

namespace {

class StoresTest : public TempDirTest
{
};

TEST(StoreCreation, BindsByTheChosenFileOrTheProgramPath)
{
    struct Case
    {
        QString source, captionFile, fontFile, iniName, captionDir, fontDir;
    };
    const Case cases[] = {
        {"/po/Order 17.pof", "/po/Order 17.pof", "/po/Order 17.ini", "Order 17.ini", "/po/",
         "/po/"},
        // The stem ends at the last "." of the file name: dotted orders keep fonts of their own,
        // and the fonts stay in the order's folder.
        {"/po/Order.17.pof", "/po/Order.17.pof", "/po/Order.17.ini", "Order.17.ini", "/po/", "/po/"},
        {"/po/Order.18.pof", "/po/Order.18.pof", "/po/Order.18.ini", "Order.18.ini", "/po/", "/po/"},
        {"/po/template.ini", "/po/template.ini", "/po/template.ini", "template.ini", "/po/", "/po/"},
        {"/po/.order", "/po/.order", "/po/.order.ini", ".order.ini", "/po/", "/po/"},
        {"/My.Orders/acme.pof", "/My.Orders/acme.pof", "/My.Orders/acme.ini", "acme.ini",
         "/My.Orders/", "/My.Orders/"},
        {"/home/john.doe/x.y/Order 17.pof", "/home/john.doe/x.y/Order 17.pof",
         "/home/john.doe/x.y/Order 17.ini", "Order 17.ini", "/home/john.doe/x.y/",
         "/home/john.doe/x.y/"},
        {"/opt/po/pelmora-po", "/opt/po/pelmora-po", "/opt/po/pelmora-po.ini", "pelmora-po.ini",
         "/opt/po/", "/opt/po/"},
    };
    for (const Case &c : cases) {
        TCaptionSaver text(nullptr, c.source);
        TFontSaver fonts(nullptr, c.source);
        EXPECT_EQ(text.IniFile()->fileName(), c.captionFile) << c.source.toStdString();
        EXPECT_EQ(fonts.IniFile()->fileName(), c.fontFile) << c.source.toStdString();
        EXPECT_EQ(text.IniName(), c.iniName);
        EXPECT_EQ(fonts.IniName(), c.iniName);
        EXPECT_EQ(text.Directory(), c.captionDir);
        EXPECT_EQ(fonts.Directory(), c.fontDir);
        EXPECT_EQ(text.IniPath(), UserPath);
    }

    TCaptionSaver own(nullptr);
    EXPECT_EQ(own.IniFile()->fileName(), ProgramFilePath());
}

TEST(StoreCreation, ConfiguredBindingFollowsIniPath)
{
    struct Case
    {
        TIniPaths path;
        QString name, expected;
    };
    const Case cases[] = {
        {AppPath, "varnel.ini", AppDir() + "varnel.ini"},
        {WinPath, "varnel.ini", "varnel.ini"},
        {UserPath, "varnel.ini", "/orders/varnel.ini"},
        {AppPath, "", "/orders/x.pof"}, // no name: the binding stays
    };
    for (const Case &c : cases) {
        TCaptionSaver store(nullptr, u"/orders/x.pof"_s);
        store.SetIniPath(c.path);
        store.SetIniName(c.name);
        store.BindConfiguredFile();
        EXPECT_EQ(store.IniFile()->fileName(), c.expected) << c.path;
    }
}

TEST(StoreCreation, RebindingReplacesTheFile)
{
    TFontSaver store(nullptr, u"/a/b.pof"_s);
    store.SetIniPath(AppPath);
    store.SetIniFileName(u"/c/d.pof"_s);
    EXPECT_EQ(store.IniFile()->fileName(), u"/c/d.pof"_s);
    EXPECT_EQ(store.IniPath(), UserPath);
    EXPECT_EQ(store.IniName(), u"b.ini"_s);

    store.SetIniFile(std::make_unique<TIniFile>(u"/e/f.pof"_s));
    EXPECT_EQ(store.IniFile()->fileName(), u"/e/f.pof"_s);
    EXPECT_EQ(store.IniName(), u"/e/f.pof"_s);
}

TEST_F(StoresTest, TextsRoundTripThroughTextValue)
{
    TCaptionSaver store(nullptr, path("sheet.pof"));
    EXPECT_EQ(store.ReadText(u"GroupBox1"), QString());
    EXPECT_TRUE(entries().isEmpty()) << "a read must not create the file";

    store.SaveText(u"GroupBox1", u" Vendor: "_s);
    store.SaveText(u"Currency", u"£"_s);
    EXPECT_EQ(readBytes(path("sheet.pof")),
              "[GroupBox1]\r\nTextValue= Vendor: \r\n[Currency]\r\nTextValue=\xA3\r\n");

    TCaptionSaver other(nullptr, path("sheet.pof"));
    EXPECT_EQ(other.ReadText(u"GroupBox1"), u"Vendor:"_s);
    EXPECT_EQ(other.CurrentText, u"Vendor:"_s);
    EXPECT_EQ(other.ReadTextDefault(u"Label2", u"keep"_s), u"keep"_s);
    other.DefaultText = u"none"_s;
    EXPECT_EQ(other.ReadText(u"Label2"), u"none"_s);

    store.SetText(u"set only"_s);
    EXPECT_EQ(other.ReadText(u"Label3"), u"none"_s) << "SetText writes nothing";
    store.WriteText(u"Label3");
    EXPECT_EQ(other.ReadText(u"Label3"), u"set only"_s);
}

SheetFont styled(bool bold, bool italic, bool underline, bool strikeOut)
{
    SheetFont f;
    f.style = {bold, italic, underline, strikeOut};
    return f;
}

TEST_F(StoresTest, FontStylesMapToTheStyleTable)
{
    struct Case
    {
        SheetFont font;
        int stored;
        FontStyles readBack;
    };
    const Case cases[] = {
        {styled(false, false, false, false), 0, {}},
        {styled(true, false, true, false), 6, {true, false, true, false}},
        {styled(true, true, false, false), 4, {true, true, false, false}},
        {styled(false, true, true, false), 5, {false, true, true, false}},
        {styled(true, true, true, false), 7, {true, true, true, false}},
        {styled(false, false, false, true), 0, {}}, // strike-out is stored as regular
        {styled(true, true, true, true), 0, {}},
    };
    for (const Case &c : cases) {
        TFontSaver store(nullptr, path("f.pof"));
        store.SaveFont(u"Label2", c.font);
        EXPECT_EQ(store.IniFile()->readInteger(u"Label2", u"FontStyle", -1), c.stored);
        EXPECT_EQ(store.ReadFont(u"Label2", SheetFont{}).style, c.readBack) << c.stored;
    }
}

TEST_F(StoresTest, FontKeysAreWrittenInOrderAndMissingKeysKeepTheDefaults)
{
    TFontSaver store(nullptr, path("f.pof"));
    SheetFont arial;
    arial.name = u"Arial"_s;
    arial.size = 10;
    arial.color = 255;
    arial.style.italic = true;
    store.SaveFont(u"Label2", arial);
    EXPECT_EQ(readBytes(path("f.ini")),
              "[Label2]\r\nFontColor=255\r\nFontName=Arial\r\nFontSize=10\r\nFontStyle=2\r\n");

    writeBytes(path("f.ini"), "[Label3]\r\nFontName=Times New Roman\r\n"
                              "[Label4]\r\nFontColor=0x0000FF\r\nFontStyle=8\r\n"
                              "[Label5]\r\nFontColor=$0000FF\r\nFontStyle=-1\r\n"
                              "[Label6]\r\nFontColor=red\r\nFontSize=big\r\n");
    SheetFont expected = arial;
    expected.name = u"Times New Roman"_s;
    EXPECT_EQ(store.ReadFont(u"Label3", arial), expected);
    // A style index outside the table counts as missing, like an unreadable colour.
    EXPECT_EQ(store.ReadFont(u"Label4", styled(true, false, false, false)).color, 255);
    EXPECT_EQ(store.ReadFont(u"Label4", styled(true, false, false, false)).style.bold, true);
    EXPECT_EQ(store.ReadFont(u"Label5", arial), arial);
    EXPECT_EQ(store.ReadFont(u"Label6", arial), arial);
    EXPECT_EQ(store.ReadFont(u"Label7", arial), arial);
}

TEST_F(StoresTest, WriteFontWritesTheOwnFontUntilACallerSetsOne)
{
    TFontSaver store(nullptr, path("f.pof"));
    writeBytes(path("f.ini"), "[A]\r\nFontName=Courier New\r\nFontSize=9\r\n");
    const SheetFont read = store.ReadFont(u"A", SheetFont{});
    store.WriteFont(u"B");
    EXPECT_EQ(store.ReadFont(u"B", SheetFont{}), read);

    SheetFont mine;
    mine.name = u"Verdana"_s;
    store.SetFont(mine);
    (void)store.ReadFont(u"A", SheetFont{});
    store.WriteFont(u"C");
    EXPECT_EQ(store.ReadFont(u"C", read), mine);
}

TEST(Colors, StoredColoursAreBgrOrSystemCodes)
{
    struct Case
    {
        qint32 stored;
        quint32 rgb;
    };
    const Case cases[] = {
        {255, 0xFF0000},                 // 0x0000FF is red
        {16777215, 0xFFFFFF},            // white
        {Colors::Gray, 0x808080},
        {-2147483640, 0x000000},         // window text
        {Colors::BtnFace, 0xF0F0F0},
        {Colors::systemColor(99), 0x000000}, // unknown system colour
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Colors::toRgb(c.stored), c.rgb) << c.stored;
        if (c.stored >= 0) {
            EXPECT_EQ(Colors::fromRgb(c.rgb), c.stored);
        }
    }
    EXPECT_EQ(Colors::WindowText, -2147483640);
}

} // namespace
