#include "RecoveryFixture.h"

#include "SheetLabel.h"
#include "TFontsForm.h"
#include "TIniFile.h"

#include <QLineEdit>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The recovery question at its edges: answers not given, a file changed meanwhile, a
// second copy of the program, other orders' work, a folder that cannot be written.
class RecoveryEdgesTest : public RecoveryTest
{
protected:
    std::vector<RecoveryJournal::Found> journals(const QString &sheetFile) const
    {
        return RecoveryJournal::find(QFileInfo(sheetFile).absoluteFilePath(), SheetJournal::Sections());
    }

    void typeAndKill(const QString &text)
    {
        type(3, 0, text);
        sheet->SyncRecovery();
        killed();
    }

    // The PO number typed in its dialog, which writes it to the file at once.
    void typePONumber(const QString &number)
    {
        platform.onModal = [number](QDialog *d) {
            d->show();
            qobject_cast<TFontsForm *>(d)->Edit1->setText(number);
            d->close();
            return d->result();
        };
        sheet->LabelSetValue(sheet->Label(u"labelPONumber"_s));
        platform.onModal = nullptr;
    }

    // Another copy of the program that runs and holds sheetFile, as its locked owner file says.
    int otherCopyHolds(const QString &sheetFile, const QString &owner)
    {
        const QString ownerFile = RecoveryJournal::folder() + owner + u".owner"_s;
        QDir().mkpath(RecoveryJournal::folder());
        writeBytes(ownerFile, "[Owner]\r\nPid=4242\r\nSince=2026-12-09T08:00:00.000Z\r\nSheetFile=" +
                                  QUrl::toPercentEncoding(QFileInfo(sheetFile).absoluteFilePath()) + "\r\n");
        const int fd = ::open(QFile::encodeName(ownerFile).constData(), O_RDONLY);
        EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        return fd;
    }
};

TEST_F(RecoveryEdgesTest, OnlyAnExplicitDiscardRemovesWhatAKilledCopyLeft)
{
    const struct
    {
        const char *what;
        std::optional<int> answer;
        bool kept;
    } cases[] = {
        {"no answer: Escape, the close box, a signal or a log-out", std::nullopt, true},
        {"keep for later", Keep, true},
        {"discard", Discard, false},
    };
    const QByteArray original = readBytes(file);
    for (const auto &c : cases) {
        QDir(RecoveryJournal::folder()).removeRecursively();
        writeBytes(file, original);
        start(file);
        typeAndKill(u"Nails"_s);
        restart(file, {c.answer});
        ASSERT_EQ(platform.messages.size(), 1u) << c.what;
        EXPECT_EQ(platform.messages[0].defaultAnswer, Recover) << c.what;
        EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), QString()) << c.what << ": the window shows the file";
        EXPECT_EQ(journals(file).size(), c.kept ? 1u : 0u) << c.what;

        // Typing now goes into this copy's own journal, never over the one kept.
        type(3, 1, u"Screws"_s);
        sheet->SyncRecovery();
        EXPECT_EQ(journals(file).size(), c.kept ? 2u : 1u) << c.what;
        sheet->SaveSheet();
        EXPECT_EQ(journals(file).size(), c.kept ? 1u : 0u) << c.what << ": a save removes only this copy's";

        restart(file, {Recover});
        EXPECT_EQ(platform.messages.size(), c.kept ? 1u : 0u) << c.what << ": offered again at the next load";
        EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), c.kept ? u"Nails"_s : QString()) << c.what;
        if (c.kept) {
            EXPECT_EQ(platform.messages[0].defaultAnswer, Keep) << "the save made the file newer";
            EXPECT_EQ(journals(file).size(), 1u) << "recovered: held by this copy's journal alone";
        }
    }
}

TEST_F(RecoveryEdgesTest, ARecoveryKeepsThePONumberTypedAfterTheLastCell)
{
    start(file);
    type(3, 0, u"Nails"_s);
    sheet->SyncRecovery();
    typePONumber(u"PO-2026-123"_s);
    sheet->SyncRecovery();
    killed();
    restart(file, {Recover});
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), u"Nails"_s);
    EXPECT_EQ(sheet->Label(u"labelPONumber"_s)->Caption(), u"PO-2026-123"_s);
    sheet->SaveSheet();
    EXPECT_EQ(TIniFile(file).readString(u"labelPONumber", u"TextValue", QString()), u"PO-2026-123"_s);
}

TEST_F(RecoveryEdgesTest, AJournalOlderThanItsFileSaysSoAndKeepsTheFileByDefault)
{
    start(file);
    typeAndKill(u"Nails"_s);
    QByteArray newer = readBytes(file);
    newer.replace("TextValue=1\r\n", "TextValue=7\r\n"); // another program, a restored copy, a sync
    writeBytes(file, newer);

    restart(file); // no answer
    ASSERT_EQ(platform.messages.size(), 1u);
    const auto &asked = platform.messages[0];
    EXPECT_TRUE(asked.text.contains(u"The file was changed after that (it is now dated "_s)) << asked.text.toStdString();
    EXPECT_EQ(asked.defaultAnswer, Keep);
    EXPECT_EQ(sheet->StringGrid1->Cell(0, 0), u"7"_s);
    EXPECT_EQ(readBytes(file), newer);
    EXPECT_EQ(journals(file).size(), 1u);

    restart(file, {Recover}); // asked for on purpose: the unsaved texts go over the file's
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), u"Nails"_s);
}

TEST_F(RecoveryEdgesTest, ASecondCopyIsToldAndNeitherTouchesTheOthersJournal)
{
    start(file);
    type(3, 0, u"Nails"_s);
    sheet->SyncRecovery();
    killed(u"200-alive"_s); // as another copy's journal
    const int lock = otherCopyHolds(file, u"200-alive"_s);

    restart(file, {Recover});
    ASSERT_EQ(platform.messages.size(), 1u) << "told, and not offered the running copy's work";
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(platform.messages[0].text.contains(u"another copy of this program"_s));
    EXPECT_TRUE(platform.messages[0].text.contains(u"process 4242"_s)) << platform.messages[0].text.toStdString();
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), QString());

    type(3, 1, u"Screws"_s);
    sheet->SyncRecovery();
    EXPECT_EQ(journals(file).size(), 2u) << "each copy's work kept apart";
    sheet->DiscardRecovery();
    sheet->SaveSheet();
    ASSERT_EQ(journals(file).size(), 1u) << "the other copy's journal stays";
    EXPECT_EQ(journals(file)[0].owner, u"200-alive"_s);

    ::close(lock); // that copy was killed too: its work is now offered
    restart(file, {Recover});
    EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), u"Nails"_s);
}

TEST_F(RecoveryEdgesTest, AtStartOtherOrdersWithUnsavedWorkAreListed)
{
    const QString other = path("other.pof"), gone = path("gone.pof");
    writeBytes(other, "[Table30]\r\nTextValue=Saw\r\n");
    writeBytes(gone, "[Table30]\r\nTextValue=Glue\r\n");
    for (const QString &sheetFile : {gone, other}) {
        start(sheetFile);
        typeAndKill(u"Blade"_s);
    }
    QFile::remove(gone);

    const struct
    {
        const char *what;
        std::optional<int> answer;
        QString opened;
        size_t journalsLeft;
    } cases[] = {
        {"no answer", std::nullopt, file, 1},
        {"keep", Keep, file, 1},
        {"open", 0, other, 1}, // recovered: now this copy's
        {"discard", Discard, file, 0},
    };
    for (const auto &c : cases) {
        panel.reset();
        sheet.reset();
        platform.messages.clear();
        platform.askAnswers = {c.answer, Recover};
        sheet = std::make_unique<TPurchaseOrderForm>();
        panel = std::make_unique<TControlForm>(sheet.get());
        sheet->OpenSheetFile(file);
        showSheet(*sheet); // the start-up load
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        ASSERT_FALSE(platform.messages.empty()) << c.what;
        EXPECT_TRUE(platform.messages[0].text.contains(other)) << c.what;
        EXPECT_EQ(platform.messages[0].answers.value(0), u"&Open"_s);
        EXPECT_EQ(platform.messages[0].defaultAnswer, Keep);
        EXPECT_EQ(sheet->SheetFileName(), c.opened) << c.what;
        if (c.opened == other) {
            EXPECT_EQ(sheet->StringGrid1->Cell(3, 0), u"Blade"_s) << "opened, then recovered";
        }
        EXPECT_EQ(journals(other).size(), c.journalsLeft) << c.what;
        EXPECT_EQ(platform.messages.size(), c.opened == other ? 2u : 1u) << "a missing order is not listed";
        killed(); // what "open" recovered is left behind once more
    }
}

TEST_F(RecoveryEdgesTest, AJournalThatCannotBeWrittenIsReportedOncePerCause)
{
    QDir(RecoveryJournal::folder()).removeRecursively();
    QDir().mkpath(QFileInfo(RecoveryJournal::folder().chopped(1)).path());
    writeBytes(RecoveryJournal::folder().chopped(1), "not a folder"); // no folder can be made there
    start(file);
    type(3, 0, u"Nails"_s);
    sheet->SyncRecovery();
    type(3, 1, u"Screws"_s);
    sheet->SyncRecovery();
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(platform.messages[0].text.contains(QDir::toNativeSeparators(RecoveryJournal::folder())))
        << platform.messages[0].text.toStdString();
    EXPECT_TRUE(platform.messages[0].text.contains(u"lost if the program ends"_s));
    QFile::remove(RecoveryJournal::folder().chopped(1));
}

TEST_F(RecoveryEdgesTest, ASignalDuringALoadEndsItThereAndAsksNothing)
{
    start(file);
    typeAndKill(u"Nails"_s); // something a finished load would offer
    sheet = std::make_unique<TPurchaseOrderForm>();
    panel = std::make_unique<TControlForm>(sheet.get());
    sheet->OpenSheetFile(file);
    platform.messages.clear();
    platform.pausedMs = 0;
    platform.onPause = [this] {
        if (platform.pausedMs == 100)
            sheet->SessionEnding(); // SIGTERM, SIGHUP or a log-out after the first text
    };
    sheet->LoadSheet();
    platform.onPause = nullptr;
    EXPECT_EQ(platform.pausedMs, 100) << "no pause after the signal";
    QCoreApplication::processEvents();
    EXPECT_TRUE(platform.messages.empty()) << "nothing asked while ending";
    EXPECT_EQ(journals(file).size(), 1u);
}

} // namespace
