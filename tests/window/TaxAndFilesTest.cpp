#include "QtPrinters.h"
#include "WindowFixture.h"

#include "AppError.h"
#include "EditTextGrid.h"
#include "LineItemGrid.h"
#include "SheetLabel.h"
#include "StartupSheet.h"
#include "TControlForm.h"
#include "TFileDialog.h"
#include "TCaptionSaver.h"
#include "TIniFile.h"
#include "TPurchaseOrderForm.h"
#include "TTaxForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QLineEdit>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class CommandsTest : public SheetAndPanelTest
{
protected:
    QString stored(const QString &file, const QString &section, const QString &key = u"TextValue"_s)
    {
        return TIniFile(file).readString(section, key, u"<none>"_s);
    }
    QString caption(const char *name) { return sheet->Label(QString::fromLatin1(name))->Caption(); }
};

// Runs the tax command with the dialog answered by answer.
class TaxTest : public CommandsTest
{
protected:
    void runTax(const std::function<void(TTaxForm *)> &answer)
    {
        platform.onModal = [&](QDialog *d) {
            auto *form = qobject_cast<TTaxForm *>(d);
            d->show();
            answer(form);
            d->close();
            return d->result();
        };
        panel->btnTaxClick();
        platform.onModal = nullptr;
    }
    static void typeInto(TTaxForm *form, int row, const QString &keys)
    {
        form->StringGrid1->setCurrentCell(row, 1);
        QLineEdit *editor = form->StringGrid1->Editor();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, keys);
    }
};

TEST_F(TaxTest, TheDialogListsNamedRowsWithTheirStoredPercentages)
{
    const QString file = path("tax.pof");
    writeBytes(file, "[Tax-On-Table42]\r\nTextValue=7\r\n[labelPONumber]\r\nTextValue=PO-77\r\n");
    start(file);
    sheet->StringGrid1->SetCell(3, 0, u"Hammer"_s);
    sheet->StringGrid1->SetCell(3, 2, u"Nails"_s);
    sheet->Label(u"Label10")->SetCaption(u"Freight"_s);
    QStringList names, rates;
    QString box;
    runTax([&](TTaxForm *f) {
        for (int r = 0; r < 10; ++r) {
            names << f->StringGrid1->Cell(0, r);
            rates << f->StringGrid1->Cell(1, r);
        }
        box = f->CheckBox1->text();
    });
    EXPECT_EQ(names, (QStringList{"Item Description", "Hammer", "", "Nails", "", "", "", "", "", "Freight"}));
    EXPECT_EQ(rates, (QStringList{"Tax %", "0.00", "", "7", "", "", "", "", "", "0.0"}));
    EXPECT_EQ(box, u"Do not show this again when printing P.O. PO-77"_s);
}

TEST_F(TaxTest, ClosingStoresEveryRateAndRecomputesTheTax)
{
    const QString file = path("tax.pof");
    writeBytes(file, "[Tax-On-Table41]\r\nTextValue=5\r\n[TaxForm]\r\nNoShow=1\r\n");
    start(file);
    sheet->StringGrid1->SetCell(3, 0, u"Hammer"_s);
    sheet->StringGrid1->SetCell(6, 0, u"100.00"_s);
    sheet->StringGrid1->SetCell(6, 1, u"50.00"_s); // an amount but no product name
    sheet->StringGrid1->SetCell(3, 2, u"Saw"_s);
    sheet->StringGrid1->SetCell(3, 3, u"Glue"_s);
    sheet->Label(u"Label14")->SetCaption(u"150.00"_s);
    QString checkCaption;
    runTax([&](TTaxForm *f) {
        typeInto(f, 1, u"8.25"_s);
        typeInto(f, 4, u"0"_s); // "0" is kept; Saw keeps "0.00"
        checkCaption = f->CheckBox1->text();
    });
    EXPECT_EQ(checkCaption, u"Do not show this again when printing P.O. "_s);
    EXPECT_EQ(stored(file, u"Tax-On-Table40"_s), u"8.25"_s);
    EXPECT_EQ(stored(file, u"Tax-On-Table41"_s), QString()) << "a row without a name loses its rate";
    EXPECT_EQ(stored(file, u"Tax-On-Table42"_s), QString()) << "0.00 is stored empty";
    EXPECT_EQ(stored(file, u"Tax-On-Table43"_s), u"0"_s);
    EXPECT_EQ(stored(file, u"Tax-on-Shipping"_s), u"0.0"_s);
    EXPECT_FALSE(TIniFile(file).readBool(u"TaxForm", u"NoShow", true)) << "an unticked box clears it";
    EXPECT_EQ(caption("Label17"), u"8.25"_s);
    EXPECT_EQ(caption("Label19"), u"158.25"_s);
}

TEST_F(TaxTest, PercentagesAreCheckedAtEveryKeystroke)
{
    start(path("tax.pof"));
    sheet->StringGrid1->SetCell(3, 0, u"Hammer"_s);
    struct Case
    {
        const char *keys;
        QString cell;
        QStringList messages;
    };
    const Case cases[] = {
        {"150", u"0.00"_s, {u"Percentage exceeds 100%."_s}},
        {"-5", u"0.00"_s, {u"Percentage must be greater than 0%."_s}}, // the sign is kept
        {"-", u"-"_s, {}},
        {"+7", u"+7"_s, {}},
        {"101", u"0.00"_s, {u"Percentage exceeds 100%."_s}},
        {".", u"."_s, {}},
        {"0", u"0"_s, {}},
        {"abc", QString(), {}},
    };
    for (const Case &c : cases) {
        platform.messages.clear();
        QString cell;
        runTax([&](TTaxForm *f) {
            typeInto(f, 1, QString::fromLatin1(c.keys));
            QCoreApplication::processEvents(); // a refusal comes once the keystroke is handled
            cell = f->StringGrid1->Cell(1, 1);
        });
        EXPECT_EQ(cell, c.cell) << c.keys;
        QStringList texts;
        for (const auto &m : platform.messages) {
            texts << m.text;
            EXPECT_EQ(m.caption, u"Invalid Tax"_s);
        }
        EXPECT_EQ(texts, c.messages) << c.keys;
    }

    // A value that becomes negative by an edit of its text.
    platform.messages.clear();
    runTax([&](TTaxForm *f) {
        f->StringGrid1->SetCell(1, 1, u"-5"_s);
        f->StringGrid1SetEditText(1, 1);
        QCoreApplication::processEvents();
        EXPECT_EQ(f->StringGrid1->Cell(1, 1), u"0.00"_s);
    });
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"Percentage must be greater than 0%."_s);
}

TEST_F(TaxTest, AClickOnTheTaxAmountRunsTheCommandThenOffersTheFont)
{
    start(path("tax.pof"));
    platform.messageAnswers = {MsgResult::Cancel};
    bool taxShown = false;
    platform.onModal = [&](QDialog *d) {
        taxShown = qobject_cast<TTaxForm *>(d) != nullptr;
        d->reject();
        return 0;
    };
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(sheet->Label(u"Label17"), &move);
    sheet->Label17Click(sheet->Label(u"Label17"));
    EXPECT_TRUE(taxShown);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, u"Tax Updated"_s);
    EXPECT_TRUE(platform.fontDialogs.empty());
}

class SaveAsTest : public CommandsTest
{
protected:
    void saveAs(const std::optional<QString> &chosen, MsgResult autoLoad)
    {
        platform.fileAnswers = {chosen};
        platform.messageAnswers = {autoLoad};
        panel->BitBtn3Click();
    }
};

TEST_F(SaveAsTest, ProposesThePONumberInTheOpenSheetsFolderThenTheLastName)
{
    start(path("open.pof"));
    saveAs(std::nullopt, MsgResult::No);
    EXPECT_EQ(platform.fileDialogs.back().fileName, u"1405-12072026.pof"_s);
    EXPECT_EQ(platform.fileDialogs.back().initialDir, m_dir.path() + u'/');
    EXPECT_EQ(platform.fileDialogs.back().title, u"Save Purchase Order Form File"_s);
    EXPECT_TRUE(entries().isEmpty()) << "cancelled: nothing written";

    saveAs(path("a.pof"), MsgResult::No);
    saveAs(std::nullopt, MsgResult::No);
    EXPECT_EQ(platform.fileDialogs.back().fileName, path("a.pof"));
}

TEST_F(SaveAsTest, OntoAnotherFileTheOrderTakesItsTaxesAlongTheFileKeepsItsFlags)
{
    const QString open = path("open.pof");
    const QString other = path("other.pof");
    writeBytes(other, "[Tax-On-Table40]\r\nTextValue=10\r\n[TaxForm]\r\nNoShow=1\r\n[Label2]\r\nTextValue=Old\r\n");
    start(open);
    sheet->StringGrid1->SetCell(6, 0, u"100.00"_s);
    sheet->Label(u"Label14")->SetCaption(u"100.00"_s);
    platform.fileAnswers = {other};
    platform.messageAnswers = {MsgResult::Yes, MsgResult::Yes}; // replace it; load it next time
    panel->BitBtn3Click();
    EXPECT_EQ(platform.messages.front().text, u"\"other.pof\" already exists.\r\nDo you want to replace it?"_s);

    EXPECT_EQ(sheet->SheetFileName(), other);
    EXPECT_TRUE(QFile::exists(open)) << "the sheet was first saved where it was open";
    EXPECT_EQ(stored(other, u"Label2"_s), u"My Company Name"_s);
    EXPECT_EQ(stored(other, u"Tax-On-Table40"_s), QString()) << "the order had no tax on that row";
    EXPECT_TRUE(TIniFile(other).readBool(u"TaxForm", u"NoShow", false)) << "the file's flags stay";
    EXPECT_EQ(stored(other, u"Label17"_s), u"0.00"_s) << "the order's own tax";
    EXPECT_FALSE(readBytes(other).contains("FontName")) << "fonts go to the companion file";
    EXPECT_TRUE(readBytes(path("other.ini")).contains("[Label2]\r\nFontColor="));
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages.back().caption, u"other.pof Saved..."_s);
    EXPECT_EQ(platform.messages.back().text,
              u"Automatically load this file next\n\rtime Pelmora PO Form is opened?"_s);
    TIniFile config(AppFile(u"varnel.ini"));
    EXPECT_TRUE(config.readBool(StartupSheet::Section, StartupSheet::AutoLoad, false));
    EXPECT_EQ(config.readString(StartupSheet::Section, StartupSheet::AutoLoadFile, {}), other);
}

TEST_F(SaveAsTest, TheWholePONumberIsProposedAndAnotherOrderIsReplacedOnlyAfterAYes)
{
    const QString older = path("2026-017.pof");
    writeBytes(older, "[Label2]\r\nTextValue=Older order\r\n");
    start(path("open.pof"));
    sheet->Label(u"labelPONumber")->SetCaption(u"2026/017"_s);
    platform.fileAnswers = {older, older, std::nullopt};
    platform.messageAnswers = {MsgResult::No, MsgResult::No}; // keep it, twice; then cancel
    EXPECT_FALSE(panel->BitBtn3Click());
    EXPECT_EQ(platform.fileDialogs.front().fileName, u"2026-017.pof"_s);
    EXPECT_EQ(platform.fileDialogs.size(), 3u) << "No returns to the dialog";
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(readBytes(older), "[Label2]\r\nTextValue=Older order\r\n");
    EXPECT_EQ(sheet->SheetFileName(), path("open.pof"));
}

TEST_F(SaveAsTest, OntoTheOpenFileOrANewOneWithoutAutoLoad)
{
    const QString open = path("open.pof");
    writeBytes(open, "[Tax-On-Table40]\r\nTextValue=10\r\n");
    start(open);
    sheet->StringGrid1->SetCell(6, 0, u"100.00"_s);
    saveAs(open, MsgResult::No);
    EXPECT_EQ(stored(open, u"Label17"_s), u"10.00"_s);
    EXPECT_FALSE(readBytes(open).contains("FontName")) << "no preliminary save into it";
    EXPECT_FALSE(QFile::exists(AppFile(u"varnel.ini"))) << "No leaves the configuration alone";

    // The order's taxes and currency go with it into a new file.
    sheet->CaptionSaver1->SaveText(u"Currency", u"£"_s);
    sheet->LoadSheet();
    sheet->StringGrid1->SetCell(6, 0, u"100.00"_s);
    saveAs(path("new.pof"), MsgResult::No);
    EXPECT_EQ(caption("Label17"), u"10.00"_s);
    EXPECT_EQ(stored(path("new.pof"), u"Label17"_s), u"10.00"_s);
    EXPECT_EQ(stored(path("new.pof"), u"Tax-On-Table40"_s), u"10"_s);
    EXPECT_EQ(stored(path("new.pof"), u"Currency"_s), u"£"_s);
    EXPECT_FALSE(readBytes(path("new.pof")).contains("[Country]")) << "the order has no currency code";
    EXPECT_FALSE(readBytes(path("new.pof")).contains("[Tax-on-Shipping]")) << "nor a tax on shipping";
}

TEST_F(SaveAsTest, TheStartUpBlankSheetIsNotWrittenBySavingAsAnotherName)
{
    const QString blank = AppFile(u"blank.ini");
    writeBytes(blank, "[Label2]\r\nTextValue=Blank\r\n");
    sheet = std::make_unique<TPurchaseOrderForm>();
    panel = std::make_unique<TControlForm>(sheet.get());
    sheet->LoadSheet();
    ASSERT_EQ(sheet->SheetFileName(), blank);
    saveAs(path("mine.pof"), MsgResult::No);
    EXPECT_EQ(readBytes(blank), "[Label2]\r\nTextValue=Blank\r\n");
    EXPECT_EQ(stored(path("mine.pof"), u"Label2"_s), u"Blank"_s);
}

TEST_F(SaveAsTest, AWriteErrorEndsTheCommandWithTheChosenFileOpen)
{
    const QString locked = path("locked.pof");
    writeBytes(locked, "[Label2]\r\nTextValue=Kept\r\n");
    ::chmod(locked.toLocal8Bit().constData(), 0444);
    start(path("open.pof"));
    platform.fileAnswers = {locked};
    platform.messageAnswers = {MsgResult::Yes}; // replace it
    EXPECT_THROW(panel->BitBtn3Click(), AppError);
    EXPECT_EQ(sheet->SheetFileName(), locked);
    EXPECT_EQ(platform.messages.size(), 1u) << "no auto-load question";
    EXPECT_EQ(readBytes(locked), "[Label2]\r\nTextValue=Kept\r\n");
}

class LoadTest : public CommandsTest
{
};

TEST_F(LoadTest, LoadingReadsTextsFromTheFileAndFontsFromItsCompanion)
{
    const QString other = path("other.pof");
    writeBytes(other, "[Label2]\r\nTextValue=Other Co\r\n[Table00]\r\nTextValue=9\r\n"
                      "[Label3]\r\nFontName=Courier New\r\n");
    start(path("open.pof"));
    sheet->StringGrid1->SetCell(1, 1, u"stale"_s);
    panel->show();
    platform.messageAnswers = {MsgResult::No};
    platform.fileAnswers = {other};
    panel->BitBtn2Click();
    EXPECT_EQ(platform.messages.back().text, u"Save \"open.pof\" before loading."_s);
    EXPECT_EQ(platform.messages.back().caption, u"Save Current File"_s);
    EXPECT_TRUE(platform.fileDialogs.back().mustExist);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(sheet->SheetFileName(), other);
    EXPECT_EQ(caption("Label2"), u"Other Co"_s);
    EXPECT_EQ(caption("Label4"), u"Company Address 2"_s) << "missing sections keep what was shown";
    EXPECT_EQ(sheet->StringGrid1->Cell(0, 0), u"9"_s);
    EXPECT_EQ(sheet->StringGrid1->Cell(1, 1), QString());
    EXPECT_EQ(sheet->Label(u"Label3")->Font().name, u"Arial"_s)
        << "fonts come from the companion file, which does not exist";
    EXPECT_FALSE(QFile::exists(path("open.pof"))) << "No: nothing saved";
}

TEST_F(LoadTest, YesSavesFirstAndCancelStopsAfterIt)
{
    start(path("open.pof"));
    platform.messageAnswers = {MsgResult::Yes};
    platform.fileAnswers = {std::nullopt};
    panel->BitBtn2Click();
    EXPECT_TRUE(QFile::exists(path("open.pof")));
    EXPECT_EQ(sheet->SheetFileName(), path("open.pof"));
}

} // namespace
