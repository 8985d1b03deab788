#include "QtPrinters.h"
#include "WindowFixture.h"

#include "AppError.h"
#include "IniFileCache.h"
#include "LineItemGrid.h"
#include "SheetGroupBox.h"
#include "SheetImage.h"
#include "SheetLabel.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"
#include "TIniFile.h"
#include "TProgForm.h"
#include "TProgressControl.h"
#include "TPurchaseOrderForm.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class SheetFileTest : public WindowTest
{
};

TEST_F(SheetFileTest, ASheetWithTwoEntriesChangesOnlyThoseAndResetsTheRest)
{
    const QString file = path("acme.pof");
    writeBytes(file, "[Label2]\r\nTextValue=Acme Corp\r\n[Table30]\r\nTextValue=Widget\r\n");
    TPurchaseOrderForm form;
    form.OpenSheetFile(file);
    SheetFont gridFont;
    gridFont.name = u"Courier New"_s;
    gridFont.size = 14;
    form.StringGrid1->SetFont(gridFont);
    form.StringGrid1->SetCell(1, 1, u"old"_s);
    form.OpenPictureDialog1->FileName = u"/old/logo.jpg"_s;

    form.LoadSheet();
    EXPECT_EQ(form.Label(u"Label2")->Caption(), u"Acme Corp"_s);
    EXPECT_EQ(form.Label(u"Label3")->Caption(), u"Company Address 1"_s);
    EXPECT_EQ(form.StringGrid1->Cell(3, 0), u"Widget"_s);
    EXPECT_EQ(form.StringGrid1->Cell(1, 1), QString());
    EXPECT_EQ(form.StringGrid1->Font(), SheetFields::windowFont()) << "the window's font, not the old one";
    EXPECT_FALSE(form.Image1->HasPicture());
    EXPECT_TRUE(form.Label(u"labelForLogo")->isVisibleTo(&form));
    EXPECT_EQ(form.Panel2->x(), form.Image1->x());
    EXPECT_EQ(form.OpenPictureDialog1->FileName, QString());
    EXPECT_EQ(form.CurrencySymbol(), QString());
    EXPECT_EQ(form.CurrencyCode(), QString());
    EXPECT_EQ(form.ProgressControl1->Caption(), u"Loading acme.pof..."_s);
    EXPECT_EQ(form.ProgressControl1->Progress(), 50);
    EXPECT_EQ(form.ProgressControl1->Max(), 64);
    EXPECT_FALSE(form.ProgressControl1->Form()->isVisible());
}

TEST_F(SheetFileTest, EmptyLabelsBecomeGreyBoxesAndTextBringsThemBack)
{
    const QString file = path("s.pof");
    writeBytes(file, "[Label3]\r\nTextValue=\r\n[Label41]\r\nTextValue=   \r\n"
                     "[GroupBox1]\r\nTextValue=  Supplier:  \r\n"
                     "[Currency]\r\nTextValue=\xA3\r\n[Country]\r\nTextValue=GBP\r\n");
    TPurchaseOrderForm form;
    form.OpenSheetFile(file);
    form.LoadSheet();
    for (const char *name : {"Label3", "Label41"}) {
        SheetLabel *label = form.Label(QString::fromLatin1(name));
        EXPECT_EQ(label->width(), 75) << name;
        EXPECT_FALSE(label->AutoSize()) << name;
        EXPECT_EQ(label->Color(), std::optional<qint32>(Colors::BtnFace)) << name;
    }
    EXPECT_EQ(form.GroupBox(u"GroupBox1")->Caption(), u"Supplier:"_s);
    EXPECT_EQ(form.CurrencySymbol(), u"£"_s);
    EXPECT_EQ(form.CurrencyCode(), u"GBP"_s);

    writeBytes(file, "[Label3]\r\nTextValue=Main Street 1\r\n[Label41]\r\nTextValue=Ace\r\n");
    form.LoadSheet();
    EXPECT_TRUE(form.Label(u"Label3")->AutoSize());
    EXPECT_NE(form.Label(u"Label3")->width(), 75);
    EXPECT_EQ(form.Label(u"Label3")->Color(), std::nullopt);
    EXPECT_EQ(form.Label(u"Label41")->Color(), std::optional<qint32>(Colors::White));
}

TEST_F(SheetFileTest, AFullSaveOfAFreshSheetWritesEverySectionInOrder)
{
    const QString file = path("new.pof");
    TPurchaseOrderForm form;
    form.OpenSheetFile(file);
    form.StringGrid1->SetCell(6, 8, u"last"_s);
    form.SaveSheet();

    QStringList expected{u"Image1"_s, u"StringGrid1"_s};
    for (const FieldSpec &f : SheetFields::components()) {
        if (f.isPersisted())
            expected << f.nameString();
    }
    for (int c = 0; c < 7; ++c) {
        for (int r = 0; r < 9; ++r)
            expected << SheetFields::TableKey(c, r);
    }
    const QByteArray bytes = readBytes(file);
    EXPECT_EQ(sectionsOf(bytes), expected);
    EXPECT_TRUE(bytes.contains("[Label41]\r\nTextValue=Vendor Company  Name \r\nFontColor=-2147483640\r\n"
                               "FontName=MS Sans Serif\r\nFontSize=8\r\nFontStyle=0\r\n"));
    EXPECT_TRUE(bytes.contains("[Label2]\r\nTextValue=My Company Name\r\nFontColor=-2147483640\r\n"
                               "FontName=Arial\r\nFontSize=10\r\nFontStyle=1\r\n"));
    EXPECT_TRUE(bytes.endsWith("[Table68]\r\nTextValue=last\r\n"));
    EXPECT_EQ(form.ProgressControl1->Caption(), u"Saving new.pof..."_s);
    EXPECT_EQ(form.ProgressControl1->Progress(), 127);
    EXPECT_EQ(form.ProgressControl1->Max(), 127);
    EXPECT_FALSE(form.ProgressControl1->Form()->isVisible());
    EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(SheetFileTest, ASavedSheetReadsBackIntoAnotherWindow)
{
    const QString file = path("round.pof");
    {
        TPurchaseOrderForm form;
        form.OpenSheetFile(file);
        form.Label(u"Label2")->SetCaption(u"Café £5"_s);
        SheetFont bold = form.Label(u"Label8")->Font();
        bold.style = {true, true, false, false};
        bold.color = 255;
        form.Label(u"Label8")->SetFont(bold);
        form.StringGrid1->SetCell(0, 0, u"2"_s);
        form.SaveSheet();
    }
    TPurchaseOrderForm other;
    other.OpenSheetFile(file);
    other.LoadSheet();
    EXPECT_EQ(other.Label(u"Label2")->Caption(), u"Café £5"_s);
    EXPECT_EQ(other.Label(u"Label8")->Font().style, (FontStyles{true, true, false, false}));
    EXPECT_EQ(other.Label(u"Label8")->Font().color, 255);
    EXPECT_EQ(other.StringGrid1->Cell(0, 0), u"2"_s);
    EXPECT_EQ(other.Label(u"labelPONumber")->Caption(), u"1405-12072026"_s);
}

TEST_F(SheetFileTest, ADialogPairPutsFontsIntoTheCompanionFile)
{
    const QString chosen = path("Order 17.pof");
    TPurchaseOrderForm form;
    form.OpenSheetFile(path("open.pof"));
    TCaptionSaver texts(nullptr, chosen);
    TFontSaver fonts(nullptr, chosen);
    form.WriteSheet(fonts, texts);
    const QByteArray textBytes = readBytes(chosen);
    const QByteArray fontBytes = readBytes(path("Order 17.ini"));
    EXPECT_FALSE(textBytes.contains("FontName"));
    EXPECT_TRUE(textBytes.contains("[Label2]\r\nTextValue=My Company Name\r\n"));
    EXPECT_FALSE(fontBytes.contains("TextValue"));
    EXPECT_TRUE(fontBytes.startsWith("[StringGrid1]\r\nFontColor="));
}

TEST_F(SheetFileTest, SavingRecomputesTaxAndBalanceFromTheOpenFile)
{
    struct Case
    {
        QByteArray file;
        QString tax, balance;
    };
    const Case cases[] = {
        {"", "0.00", "120.00"},
        {"[Tax-On-Table40]\r\nTextValue=8.25\r\n[Tax-on-Shipping]\r\nTextValue=5\r\n", "9.25", "129.25"},
    };
    for (const Case &c : cases) {
        const QString file = path("tax.pof");
        QFile::remove(file);
        if (!c.file.isEmpty())
            writeBytes(file, c.file);
        TPurchaseOrderForm form;
        form.OpenSheetFile(file);
        form.StringGrid1->SetCell(6, 0, u"100.00"_s);
        form.Label(u"Label14")->SetCaption(u"100"_s);
        form.Label(u"Label16")->SetCaption(u"20"_s);
        form.Label(u"Label17")->SetCaption(u"55.55"_s);
        form.SaveSheet();
        EXPECT_EQ(form.Label(u"Label17")->Caption(), c.tax);
        EXPECT_EQ(form.Label(u"Label19")->Caption(), c.balance);
        EXPECT_EQ(form.Label(u"Label14")->Caption(), u"100.00"_s);
    }
}

TEST_F(SheetFileTest, TheStartUpBlankSheetIsSavedOnlyWhenTheUserPickedIt)
{
    const QString blank = AppFile(u"blank.ini");
    writeBytes(blank, "[Label2]\r\nTextValue=Blank Co\r\n");
    TPurchaseOrderForm form;
    ASSERT_EQ(form.SheetFileName(), blank);
    form.LoadSheet();
    form.Label(u"Label2")->SetCaption(u"Changed"_s);
    form.SaveSheet();
    EXPECT_EQ(readBytes(blank), "[Label2]\r\nTextValue=Blank Co\r\n");
    EXPECT_EQ(platform.busyDepth, 0);

    form.LastChosenSheetFiles = [&] { return QStringList{blank.toUpper(), QString()}; };
    form.SaveSheet();
    EXPECT_EQ(readBytes(blank), "[Label2]\r\nTextValue=Blank Co\r\n") << "letter case counts";

    form.LastChosenSheetFiles = [&] { return QStringList{QString(), blank}; };
    form.SaveSheet();
    EXPECT_TRUE(readBytes(blank).contains("TextValue=Changed"));
}

TEST_F(SheetFileTest, AFailedSaveReportsTheFileAndLeavesItIntact)
{
    const QString file = path("locked.pof");
    writeBytes(file, "[Label2]\r\nTextValue=Kept\r\n");
    ASSERT_EQ(::chmod(file.toLocal8Bit().constData(), 0444), 0);
    TPurchaseOrderForm form;
    form.OpenSheetFile(file);
    try {
        form.SaveSheet();
        ADD_FAILURE() << "the save did not fail";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), u"Unable to write to "_s + file);
    }
    EXPECT_EQ(readBytes(file), "[Label2]\r\nTextValue=Kept\r\n");
    EXPECT_EQ(platform.busyDepth, 0);
    EXPECT_FALSE(form.ProgressControl1->Form()->isVisible());
    EXPECT_EQ(entries(), QStringList{u"locked.pof"_s});
    form.LoadSheet();
    EXPECT_EQ(form.Label(u"Label2")->Caption(), u"Kept"_s) << "the failed save is not remembered";
}

TEST_F(SheetFileTest, ASheetThatCannotBeReadIsTriedOncePerLoad)
{
    // A link to itself: there, but never readable, whoever runs the test.
    const QString file = path("loop.pof");
    ASSERT_EQ(::symlink("loop.pof", QFile::encodeName(file).constData()), 0);
    TPurchaseOrderForm form;
    form.OpenSheetFile(file);
    IniFileCache &cache = IniFileCache::instance();
    for (int load = 1; load <= 2; ++load) {
        const quint64 before = cache.readCount();
        form.LoadSheet();
        EXPECT_EQ(cache.readCount() - before, 1u) << "load " << load;
    }
    EXPECT_EQ(form.Label(u"Label2")->Caption(), u"My Company Name"_s);

    // A file that reads well is read once while it stays as it is.
    const QString plain = path("plain.pof");
    writeBytes(plain, "[Label2]\r\nTextValue=Acme\r\n");
    TIniFile ini(plain);
    const quint64 before = cache.readCount();
    EXPECT_EQ(ini.readString(u"Label2", u"TextValue", QString()), u"Acme"_s);
    EXPECT_EQ(ini.readString(u"Label2", u"TextValue", QString()), u"Acme"_s);
    EXPECT_EQ(cache.readCount() - before, 1u) << "a readable file is read once while it stays the same";
}

} // namespace
