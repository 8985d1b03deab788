#include "RecoveryFixture.h"

#include "LineItemGrid.h"
#include "SheetJournal.h"
#include "SheetLabel.h"
#include "TExitForm.h"
#include "TIniFile.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

TEST_F(RecoveryTest, TypedCellsAndANewLogoComeBackAfterTheProgramWasKilled)
{
    const QString logo = path("logo.bmp");
    QImage(40, 20, QImage::Format_RGB32).save(logo);
    start(file);
    const QByteArray saved = readBytes(file);
    type(0, 0, u"3"_s);
    type(3, 1, u"Hinges"_s);
    type(0, 1, u"2"_s);
    type(5, 1, u"1.25"_s);
    platform.fileAnswers = {logo};
    sheet->Image1Click(sheet->Label(u"labelForLogo"));
    sheet->SyncRecovery(); // as the half-second timer would

    platform.clock = platform.clock.addDays(1);
    restart(file, {Recover}); // a kill: no save, no close; started a day later
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, u"The Purchase Order Form"_s);
    EXPECT_TRUE(platform.messages[0].text.contains(file)) << platform.messages[0].text.toStdString();
    EXPECT_EQ(platform.messages[0].answers, TPurchaseOrderForm::RecoveryAnswers());
    EXPECT_EQ(platform.messages[0].defaultAnswer, Recover);
    EXPECT_EQ(sheet->StringGrid1->Cell(0, 0), u"3"_s);
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 1), u"Hinges"_s);
    EXPECT_EQ(sheet->StringGrid1->Cell(6, 1), u"2.50"_s);
    EXPECT_EQ(sheet->OpenPictureDialog1->FileName, logo);
    EXPECT_FALSE(sheet->Label(u"labelForLogo")->isVisibleTo(sheet.get()));
    EXPECT_EQ(sheet->Label(u"Label14")->Caption(), u"8.50"_s) << "the totals follow the cells";
    EXPECT_EQ(sheet->Label(u"Label19")->Caption(), u"8.50"_s);
    EXPECT_EQ(sheet->Label(u"labelPONumber")->Caption(), u"1405-12072026"_s) << "the order's own number";
    EXPECT_EQ(sheet->Label(u"labelPODate")->Caption(), u"12/07/2026"_s);
    EXPECT_EQ(readBytes(file), saved) << "recovering saves nothing";

    // Still unsaved: killed again, it is offered again; saved, it is gone.
    restart(file, {Recover});
    EXPECT_EQ(platform.messages.size(), 1u);
    sheet->SaveSheet();
    EXPECT_FALSE(journalExists(file));
    restart(file);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 1), u"Hinges"_s);
}

TEST_F(RecoveryTest, WhatIsOfferedAndWhenTheJournalGoes)
{
    struct Case
    {
        const char *what;
        std::function<void()> act;
        bool kept;
    };
    const auto typeBox = [this] { type(1, 0, u"box"_s); };
    const Case cases[] = {
        {"a typed cell", typeBox, true},
        {"typed, then put back as it was",
         [&] {
             typeBox();
             sheet->SyncRecovery();
             type(1, 0, QString());
         },
         false},
        {"a row cleared in the line-item dialog",
         [this] {
             platform.onModal = [](QDialog *d) {
                 d->findChild<QPushButton *>(u"BitBtn2"_s)->click(); // "Clear Row"
                 return int(QDialog::Accepted);
             };
             sheet->StringGridDoubleClick();
         },
         true},
        {"a full save", [&] { typeBox(), sheet->SaveSheet(); }, false},
        {"exit without saving", [&] { typeBox(), answerExit(true, false), panel->btnExitClick(); }, false},
        {"exit cancelled", [&] { typeBox(), answerExit(false, true), panel->btnExitClick(); }, true},
        {"the panel's close box", [&] { typeBox(), panel->close(); }, true},
        {"no to saving before Load PO",
         [&] {
             typeBox();
             writeBytes(path("other.pof"), "[Label2]\r\nTextValue=Other\r\n");
             platform.messageAnswers = {MsgResult::No};
             platform.fileAnswers = {path("other.pof")};
             panel->BitBtn2Click();
         },
         false},
        {"no to saving before a Load PO then cancelled",
         [&] {
             typeBox();
             platform.messageAnswers = {MsgResult::No};
             platform.fileAnswers = {std::nullopt};
             panel->BitBtn2Click();
         },
         true},
    };
    const QByteArray saved = readBytes(file);
    for (const Case &c : cases) {
        QDir(RecoveryJournal::folder()).removeRecursively();
        writeBytes(file, saved);
        restart(file);
        c.act();
        sheet->SyncRecovery();
        EXPECT_EQ(journalExists(file), c.kept) << c.what;
    }

    // Discarded, the journal goes and the file's own texts stay.
    QDir(RecoveryJournal::folder()).removeRecursively();
    restart(file);
    type(1, 0, u"box"_s);
    sheet->SyncRecovery();
    restart(file, {Discard});
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(sheet->StringGrid1->Cell(1, 0), QString());
    EXPECT_FALSE(journalExists(file));
}

TEST_F(RecoveryTest, LoadPOOffersTheJournalOfTheLoadedFile)
{
    const QString other = path("other.pof");
    writeBytes(other, "[Table30]\r\nTextValue=Saw\r\n");
    start(other);
    type(3, 1, u"Glue"_s);
    sheet->SyncRecovery();
    restart(file);
    EXPECT_TRUE(platform.messages.empty()) << "the journal of another file is not offered";

    platform.messageAnswers = {MsgResult::No}; // no save first
    platform.askAnswers = {Recover};
    platform.fileAnswers = {other};
    panel->BitBtn2Click();
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].text.contains(other));
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), u"Saw"_s);
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 1), u"Glue"_s);
}

TEST_F(RecoveryTest, AJournalOfAFileThatIsGoneIsOfferedToo)
{
    start(file);
    type(3, 0, u"Nails"_s);
    sheet->SyncRecovery();
    QFile::remove(file);
    restart(file, {Recover});
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].defaultAnswer, Keep) << "the file is gone: not recovered by default";
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), u"Nails"_s);
    EXPECT_EQ(sheet->StringGrid1->Cell(0, 0), u"1"_s);
}

TEST_F(RecoveryTest, ACloseRequestAsksAsExitDoes)
{
    start(file);
    showSheet(*sheet);
    type(1, 0, u"box"_s);
    int asked = 0;
    platform.onModal = [&](QDialog *d) {
        ++asked;
        qobject_cast<TExitForm *>(d)->BitBtn3->click(); // "&Cancel"
        return d->result();
    };
    sheet->close(); // Alt+F4
    sheet->close(); // and once more before the question came: still one question
    EXPECT_TRUE(sheet->isVisible()) << "nothing ends before the question";
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(panel->isVisible()) << "Cancel brings the panel back, as after Exit";

    answerExit(true, false);
    sheet->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(readBytes(file).contains("box"), false);
}

TEST_F(RecoveryTest, AtLogOutTheJournalIsWrittenAndTheProgramEndsWithoutAQuestion)
{
    start(file);
    showSheet(*sheet);
    type(1, 0, u"box"_s);
    sheet->SessionEnding();
    EXPECT_TRUE(journalExists(file));
    sheet->close();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RecoveryTest, TheBlankSheetsExitAsksForAName)
{
    const QString blank = AppFile(u"blank.ini");
    writeBytes(blank, "[Label2]\r\nTextValue=Blank Co.\r\n");
    const QByteArray before = readBytes(blank);

    // Nothing typed: nothing to lose, so Exit ends as it always did.
    restart(blank);
    showSheet(*sheet);
    answerExit(true, true);
    panel->btnExitClick();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(platform.messages.empty());

    restart(blank);
    showSheet(*sheet);
    type(0, 0, u"4"_s);
    answerExit(true, true);
    platform.fileAnswers = {std::nullopt}; // the Save dialog cancelled
    panel->btnExitClick();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(u"kept unchanged"_s));
    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    EXPECT_EQ(platform.fileDialogs[0].title, u"Save Purchase Order Form File"_s);
    EXPECT_TRUE(sheet->isVisible()) << "cancelled: the program goes on";
    EXPECT_TRUE(panel->isVisible());

    const QString named = path("named.pof");
    platform.fileAnswers = {named};
    platform.messageAnswers = {MsgResult::Ok, MsgResult::No}; // the notice, then no auto-load
    panel->btnExitClick();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(TIniFile(named).readString(u"Table00", u"TextValue", QString()), u"4"_s);
    EXPECT_EQ(readBytes(blank), before) << "the blank sheet itself is kept";
    EXPECT_FALSE(journalExists(blank)) << "the order is saved: nothing to offer at the next start";
    QFile::remove(blank);
}

} // namespace
