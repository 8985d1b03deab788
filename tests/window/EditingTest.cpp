#include "QtPrinters.h"
#include "WindowFixture.h"

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

class EditingTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        file = path("order.pof");
        sheet = std::make_unique<TPurchaseOrderForm>();
        sheet->OpenSheetFile(file);
        sheet->LoadSheet();
    }

    // Opens the label settings dialog of name, lets edit work on it, and closes it.
    void editLabel(const char *name, const std::function<void(TFontsForm *)> &edit)
    {
        platform.onModal = [&](QDialog *d) {
            auto *dialog = qobject_cast<TFontsForm *>(d);
            d->show();
            title = d->windowTitle();
            edit(dialog);
            d->close();
            return d->result();
        };
        QObject *target = sheet->Component(QString::fromLatin1(name));
        sheet->LabelSetValue(target);
        platform.onModal = nullptr;
    }

    static void type(TFontsForm *d, const QString &text) { d->Edit1->setText(text); }

    void hover(const char *name)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(sheet->Label(QString::fromLatin1(name)), &move);
    }

    QString caption(const char *name) { return sheet->Label(QString::fromLatin1(name))->Caption(); }

    QString file;
    QString title;
    std::unique_ptr<TPurchaseOrderForm> sheet;
};

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

// Typing into the grid's in-place editor, one key at a time.
class LineItemTest : public EditingTest
{
protected:
    void typeInto(int column, int row, const QString &text)
    {
        sheet->StringGrid1->setCurrentCell(row, column);
        QLineEdit *editor = sheet->StringGrid1->Editor();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        if (text.isEmpty())
            QTest::keyClick(editor, Qt::Key_Backspace);
        else
            QTest::keyClicks(editor, text);
    }
    QString cell(int column, int row) { return sheet->StringGrid1->Cell(column, row); }
};

TEST_F(LineItemTest, AmountsAndTotalsFollowEveryKeystroke)
{
    typeInto(0, 0, u"3"_s);
    EXPECT_EQ(cell(6, 0), QString());
    typeInto(5, 0, u"2.5"_s);
    EXPECT_EQ(cell(6, 0), u"7.50"_s);
    EXPECT_EQ(caption("Label14"), u"7.50"_s);
    EXPECT_EQ(caption("Label19"), u"7.50"_s);

    typeInto(0, 1, u"2"_s);
    typeInto(5, 1, u"1"_s);
    EXPECT_EQ(caption("Label14"), u"9.50"_s);

    typeInto(6, 0, u"12"_s);
    EXPECT_EQ(cell(6, 0), u"7.50"_s) << "a typed amount never stays";
    EXPECT_EQ(sheet->StringGrid1->Editor()->text(), u"7.50"_s);

    typeInto(0, 0, QString());
    EXPECT_EQ(cell(6, 0), QString());
    EXPECT_EQ(caption("Label14"), u"2.00"_s);

    typeInto(6, 2, u"5"_s);
    EXPECT_EQ(cell(6, 2), QString()) << "a row without quantity and price";
    EXPECT_FALSE(QFile::exists(file)) << "cells reach the file only with a save";
}

TEST_F(LineItemTest, TheLineItemDialogClearsTheSelectedRowOrSetsTheFont)
{
    typeInto(0, 3, u"4"_s);
    typeInto(5, 3, u"2"_s);
    typeInto(3, 3, u"Nails"_s);
    typeInto(1, 3, u"box"_s);
    EXPECT_EQ(caption("Label14"), u"8.00"_s);

    QString button, dialogTitle;
    bool enabled = false;
    platform.onModal = [&](QDialog *d) {
        auto *items = qobject_cast<TLineItems *>(d);
        d->show();
        button = items->BitBtn2->text();
        dialogTitle = d->windowTitle();
        enabled = items->BitBtn2->isEnabled();
        if (enabled)
            items->BitBtn2->click();
        d->close();
        return d->result();
    };
    sheet->StringGridDoubleClick();
    EXPECT_EQ(button, u"Clear Row &4"_s);
    EXPECT_EQ(dialogTitle, u"Modify a Purchase Order Line Item"_s);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cell(c, 3), QString()) << c;
    EXPECT_EQ(caption("Label14"), u"0.00"_s);

    sheet->StringGrid1->setCurrentCell(5, 1);
    sheet->StringGridDoubleClick();
    EXPECT_EQ(button, u"Clear Row &6"_s);
    EXPECT_EQ(dialogTitle, u"Set Font for Line Items Group"_s);
    EXPECT_FALSE(enabled);

    SheetFont mono;
    mono.name = u"Courier New"_s;
    mono.size = 10;
    platform.fontAnswers = {mono};
    platform.onModal = [](QDialog *d) {
        qobject_cast<TLineItems *>(d)->BitBtn3->click();
        return 0;
    };
    sheet->StringGridDoubleClick();
    EXPECT_EQ(sheet->StringGrid1->Font(), mono);
    EXPECT_EQ(readBytes(file), "[StringGrid1]\r\nFontColor=-2147483640\r\nFontName=Courier New\r\n"
                               "FontSize=10\r\nFontStyle=0\r\n");
}

// The dialog opens with "Clear Row" under the pointer: a click at the double-click's spot
// within a second of it (a triple-click, an impatient click) presses nothing; a click after
// the pointer moved away, or a second later, is meant and clears the row.
TEST_F(LineItemTest, AClickAtTheDoubleClicksSpotWithinASecondPressesNoButton)
{
    struct Case
    {
        const char *what;
        QPoint offset;      // from where the double-click was
        quint64 after;      // milliseconds after it
        bool movedAwayFirst;
        bool clears;
    };
    const Case cases[] = {
        {"the third click of a triple-click", {0, 0}, 120, false, false},
        {"one more click at almost the same spot", {2, -1}, 950, false, false},
        {"a click a second later", {0, 0}, 1000, false, true},
        {"a click a little way off", {20, 0}, 150, false, true},
        {"a click after the pointer went away and came back", {0, 0}, 400, true, true},
    };
    constexpr quint64 Opened = 5'000'000;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        typeInto(0, 0, u"4"_s);
        typeInto(5, 0, u"2"_s);
        sheet->StringGrid1->setCurrentCell(0, 0);
        platform.onModal = [&](QDialog *d) {
            d->show();
            auto *items = qobject_cast<TLineItems *>(d);
            QPushButton *clear = items->BitBtn2;
            const QPoint centre = clear->rect().center();
            // The dialog opens with "Clear Row" where the double-click was.
            items->IgnoreClicksNear({QPointF(clear->mapToGlobal(centre)), Opened});
            const auto send = [&](QEvent::Type type, QPoint local, quint64 time, Qt::MouseButtons buttons) {
                QMouseEvent event(type, QPointF(local), QPointF(clear->mapToGlobal(local)),
                                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
                event.setTimestamp(Opened + time);
                QApplication::sendEvent(clear, &event);
            };
            if (c.movedAwayFirst)
                send(QEvent::MouseMove, centre + QPoint(0, 40), c.after / 2, Qt::NoButton);
            send(QEvent::MouseButtonPress, centre + c.offset, c.after, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, centre + c.offset, c.after + 60, Qt::NoButton);
            d->close();
            return 0;
        };
        sheet->StringGridDoubleClick();
        EXPECT_EQ(cell(0, 0).isEmpty(), c.clears);
    }
}

TEST_F(LineItemTest, BeforeAnySelectionTheFirstRowIsTheCurrentOne)
{
    QString button;
    platform.onModal = [&](QDialog *d) {
        button = qobject_cast<TLineItems *>(d)->BitBtn2->text();
        return 0;
    };
    sheet->StringGridDoubleClick();
    EXPECT_EQ(button, u"Clear Row &1"_s);
}

} // namespace
