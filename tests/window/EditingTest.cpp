#include "QtPrinters.h"
#include "EditingFixture.h"

#include "IniFileCache.h"
#include "LineItemGrid.h"
#include "SheetGroupBox.h"
#include "SheetLabel.h"
#include "TFontsForm.h"
#include "TLineItems.h"
#include "TIniFile.h"
#include "TPurchaseOrderForm.h"
#include "Win1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray Win1252Bytes(const QString &s)
{
    return Win1252::encode(s);
}


TEST_F(EditingTest, DeductionsAreAlwaysSubtractedAndTitledByTheirCaption)
{
    hover("Label15");
    editLabel("Label15", [](TFontsForm *d) { type(d, u"10"_s); });
    EXPECT_EQ(title, u"Enter Value for Discounts"_s);
    EXPECT_EQ(caption("Label15"), u"-10.00"_s);
    EXPECT_EQ(caption("Label19"), u"-10.00"_s);
    EXPECT_TRUE(readBytes(file).contains("[Label15]\r\nFontColor=-2147483640\r\nFontName=MS Sans Serif\r\n"
                                         "FontSize=8\r\nFontStyle=0\r\nTextValue=10\r\n"))
        << "font, then the text as typed, at once";

    sheet->Label(u"Label9")->SetCaption(u"Rebates"_s);
    hover("Label15");
    editLabel("Label15", [](TFontsForm *d) { type(d, u"-10"_s); });
    EXPECT_EQ(title, u"Enter Value for Rebates"_s);
    EXPECT_EQ(caption("Label15"), u"-10.00"_s);

    editLabel("Label16", [](TFontsForm *d) { type(d, u"abc"_s); });
    EXPECT_EQ(caption("Label16"), u"0.00"_s);
    editLabel("Label16", [](TFontsForm *d) { type(d, u"30"_s); });
    EXPECT_EQ(caption("Label19"), u"20.00"_s);
}

// Under a dark theme the text box still shows the label's black text on white, as the sheet does.
TEST_F(EditingTest, TheTextBoxIsLegibleUnderADarkTheme)
{
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    QApplication::setPalette(dark);
    QColor base, text;
    editLabel("Label3", [&](TFontsForm *d) {
        base = d->Edit1->palette().color(QPalette::Base);
        text = d->Edit1->palette().color(QPalette::Text);
    });
    QApplication::setPalette(before);
    EXPECT_EQ(base, QColor(Qt::white));
    EXPECT_EQ(text, QColor(Qt::black));
}

TEST_F(EditingTest, AnEmptiedLabelBecomesAGreyPatchAndComesBackWhite)
{
    editLabel("Label3", [](TFontsForm *d) { type(d, u"   "_s); });
    SheetLabel *label = sheet->Label(u"Label3");
    EXPECT_EQ(label->width(), 75);
    EXPECT_EQ(label->Color(), std::optional<qint32>(Colors::BtnFace));
    EXPECT_FALSE(label->AutoSize());

    editLabel("Label3", [](TFontsForm *d) { type(d, u"1 Main Street"_s); });
    EXPECT_EQ(label->Color(), std::optional<qint32>(Colors::White));
    EXPECT_TRUE(label->AutoSize());
    EXPECT_EQ(label->width(), label->sizeHint().width());
}

TEST_F(EditingTest, TheCurrencyMenuStoresCodeAndSymbolAndTheBalanceShowsIt)
{
    struct Case
    {
        const char *code;
        bool tick;
        QByteArray country, currency;
        QString balance;
    };
    const Case cases[] = {
        {"GBP", true, "GBP", "\xA3", u"£5.00"_s},
        {"EUR", true, "EUR", "\x80", u"€5.00"_s},
        {"AUD", true, "AUD", "S", u"S5.00"_s},
        {"USD", false, "USD", "", u"5.00"_s},
    };
    for (const Case &c : cases) {
        editLabel("Label16", [&](TFontsForm *d) {
            type(d, u"5"_s);
            for (QAction *a : d->PopupMenu1->actions()) {
                if (a->text() == QLatin1StringView(c.code))
                    a->trigger();
            }
            d->CheckBox1->setChecked(c.tick);
        });
        TIniFile ini(file);
        EXPECT_EQ(Win1252Bytes(ini.readString(u"Country", u"TextValue", {})), c.country) << c.code;
        EXPECT_EQ(Win1252Bytes(ini.readString(u"Currency", u"TextValue", {})), c.currency) << c.code;
        EXPECT_EQ(caption("Label19"), c.balance) << c.code;
    }

    // Another element's dialog writes the stored symbol back unchanged.
    editLabel("Label16", [](TFontsForm *d) {
        d->PopupMenu1->actions().at(2)->trigger(); // GBP
        d->CheckBox1->setChecked(true);
    });
    editLabel("Label41", [](TFontsForm *d) { type(d, u"Ace Supplies"_s); });
    TIniFile ini(file);
    EXPECT_EQ(ini.readString(u"Currency", u"TextValue", {}), u"£"_s);
    EXPECT_EQ(ini.readString(u"Country", u"TextValue", {}), u"GBP"_s);
    EXPECT_EQ(sheet->CurrencySymbol(), u"£"_s);

    // The symbol shows until the next refresh of the table.
    sheet->StringGrid1SetEditText(1, 0);
    EXPECT_EQ(caption("Label19"), u"5.00"_s);
}

TEST_F(EditingTest, TheKeyboardStartsInTheTextBoxEvenWithASymbolStored)
{
    TIniFile(file).writeString(u"Currency", u"TextValue", u"$");
    editLabel("Label15", [&](TFontsForm *d) {
        EXPECT_TRUE(d->Edit2->isVisible()) << "the stored symbol shows";
        EXPECT_EQ(d->focusWidget(), d->Edit1) << "an amount typed at once goes into the text";
        d->CheckBox1->setChecked(false);
        d->CheckBox1->setChecked(true);
        EXPECT_EQ(d->focusWidget(), d->Edit2) << "ticked by the user, the symbol box takes the keys";
    });
}

TEST_F(EditingTest, ANegativeBalanceCarriesTheSymbolAfterTheSign)
{
    editLabel("Label18", [](TFontsForm *d) {
        type(d, u"12"_s);
        d->PopupMenu1->actions().at(0)->trigger(); // USD, $
        d->CheckBox1->setChecked(true);
    });
    EXPECT_EQ(caption("Label19"), u"-$12.00"_s);
}

TEST_F(EditingTest, AFontSpreadsOverTheFontGroupAndIsRecordedForEachMember)
{
    SheetFont big;
    big.name = u"Times New Roman"_s;
    big.size = 12;
    platform.fontAnswers = {big};
    editLabel("Label15", [](TFontsForm *d) { d->BitBtn1->click(); });
    const QByteArray bytes = readBytes(file);
    for (const char *name : {"Label14", "Label15", "Label16", "Label17", "Label18", "Label19"}) {
        EXPECT_EQ(sheet->Label(QString::fromLatin1(name))->Font(), big) << name;
        EXPECT_TRUE(bytes.contains(QByteArray("[") + name + "]\r\nFontColor=-2147483640\r\n"
                                   "FontName=Times New Roman\r\nFontSize=12")) << name;
    }
    EXPECT_NE(sheet->Label(u"Label1")->Font(), big);

    platform.fontAnswers = {big};
    editLabel("GroupBox1", [](TFontsForm *d) { d->BitBtn1->click(); });
    EXPECT_EQ(sheet->GroupBox(u"GroupBox2")->Font(), big);
    EXPECT_EQ(title, u"Enter Vendor Label"_s);

    platform.fontAnswers = {big};
    editLabel("Label41", [](TFontsForm *d) { d->BitBtn1->click(); });
    for (const char *name : {"Label41", "Label43", "Label44", "Label42", "Label32", "Label33",
                             "Label37", "Label38", "Label40"})
        EXPECT_EQ(sheet->Label(QString::fromLatin1(name))->Font(), big) << name;
    EXPECT_NE(sheet->Label(u"Label3")->Font(), big);
}

TEST_F(EditingTest, CalculatedValuesRefuseEditingAndOfferTheGroupFont)
{
    hover("Label14");
    platform.messageAnswers = {MsgResult::Cancel};
    sheet->CalculatedValue(sheet->Label(u"Label14"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, u"Cannot Edit Subtotal"_s);
    EXPECT_EQ(platform.messages[0].text,
              u"This is a calculated value. Click OK\r\nto set the \"Footer Values\" fonts."_s);
    EXPECT_TRUE(platform.fontDialogs.empty());

    platform.messageAnswers = {MsgResult::Ok};
    platform.fontAnswers = {std::nullopt}; // the font dialog is cancelled
    const SheetFont before = sheet->Label(u"Label19")->Font();
    sheet->CalculatedValue(sheet->Label(u"Label14"));
    EXPECT_EQ(platform.fontDialogs.size(), 1u);
    EXPECT_EQ(sheet->Label(u"Label19")->Font(), before);
}

// An edit reaches the file as one replacement or not at all, so that a crash or a kill never
// leaves half of it: a label's currency, font and text; a group's fonts; the date and its font.
TEST_F(EditingTest, EachEditIsOneReplacementOfTheFile)
{
    SheetFont big;
    big.name = u"Times New Roman"_s;
    const struct
    {
        const char *what;
        std::function<void()> edit;
    } cases[] = {
        {"a label's currency, font and text",
         [&] {
             platform.fontAnswers = {big};
             editLabel("Label15", [](TFontsForm *d) {
                 d->BitBtn1->click();
                 type(d, u"7"_s);
                 d->CheckBox1->setChecked(true);
                 d->Edit2->setText(u"$"_s);
             });
         }},
        {"a footer group's font",
         [&] {
             SheetFont bigger = big;
             bigger.size = 14;
             platform.messageAnswers = {MsgResult::Ok};
             platform.fontAnswers = {bigger};
             sheet->CalculatedValue(sheet->Label(u"Label14"));
         }},
        {"the date and its font",
         [&] {
             platform.onModal = [](QDialog *d) {
                 d->show();
                 d->close();
                 return d->result();
             };
             sheet->labelPODateClick(sheet->Label(u"labelPODate"));
             platform.onModal = nullptr;
         }},
    };
    for (const auto &c : cases) {
        const quint64 before = IniFileCache::instance().replaceCount();
        c.edit();
        EXPECT_EQ(IniFileCache::instance().replaceCount(), before + 1) << c.what;
    }
    const QByteArray bytes = readBytes(file);
    EXPECT_TRUE(bytes.contains("[Label15]\r\nFontColor=-2147483640\r\nFontName=Times New Roman")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("[Currency]\r\nTextValue=$\r\n"));
    EXPECT_TRUE(bytes.contains("[Label19]\r\nFontColor=-2147483640\r\nFontName=Times New Roman\r\nFontSize=14"));
}

} // namespace
