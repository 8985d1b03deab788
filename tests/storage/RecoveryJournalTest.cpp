#include "TempDir.h"

#include "RecoveryJournal.h"

#include <QFileInfo>
#include <QUrl>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// An owner whose process cannot exist: past the largest process number.
const QString Dead = u"2147483600-dead"_s;

class RecoveryJournalTest : public TempDirTest
{
protected:
    QString folder() const { return path(u"recovery/"_s); }
    QString own() const { return RecoveryJournal::ownOwner(folder()); }
    QString journal(const QString &sheetPath, const QString &owner) const
    {
        return RecoveryJournal::fileFor(sheetPath, owner, folder());
    }
    // A journal that another copy of the program wrote.
    void plant(const QString &sheetPath, const QString &owner, const QDateTime &changed)
    {
        RecoveryJournal::Contents c = contents;
        c.changed = changed;
        QDir().mkpath(folder());
        writeBytes(journal(sheetPath, owner), RecoveryJournal::encode(sheetPath, owner, sections, c));
    }
    // Another copy that runs: its owner file, locked as that copy would hold it.
    int runningCopy(const QString &owner, const QString &heldSheet)
    {
        QDir().mkpath(folder());
        writeBytes(folder() + owner + u".owner"_s,
                   "[Owner]\r\nPid=4242\r\nSince=2026-12-09T08:00:00.000Z\r\nSheetFile=" +
                       QUrl::toPercentEncoding(heldSheet) + "\r\n");
        const int fd = ::open(QFile::encodeName(folder() + owner + u".owner"_s).constData(), O_RDONLY);
        EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        return fd;
    }

    const QStringList sections{u"Image1"_s, u"Table00"_s, u"Table68"_s};
    const QString sheet = u"/home/ann/orders/Order 17.pof"_s;
    const RecoveryJournal::Contents contents{{u"/home/ann/logo.jpg"_s, u"12"_s, u"Bolts, 3/8\""_s},
                                             QDateTime(QDate(2026, 12, 9), QTime(14, 5, 6, 789), Qt::UTC),
                                             {1234, QDateTime(QDate(2026, 12, 9), QTime(9, 0), Qt::UTC), "ab12"}};
};

TEST_F(RecoveryJournalTest, TextsComeBackAsASaveWouldStoreThem)
{
    struct Case
    {
        QString typed, back;
    } const cases[] = {
        {u"plain"_s, u"plain"_s},
        {u"  blanks around  "_s, u"blanks around"_s},
        {u"two\r\nlines"_s, u"two  lines"_s},
        {u"£ 5 €"_s, u"£ 5 €"_s},
        {u"漢字"_s, u"??"_s},
        {u"[Table00]"_s, u"[Table00]"_s},
        {u"a=b; c"_s, u"a=b; c"_s},
        {QString(), QString()},
    };
    for (const Case &c : cases) {
        RecoveryJournal::Contents in = contents;
        in.texts[1] = c.typed;
        QString owner;
        const auto out = RecoveryJournal::decode(RecoveryJournal::encode(sheet, u"77-abc"_s, sections, in), sheet,
                                                 sections, &owner);
        ASSERT_TRUE(out) << c.typed.toStdString();
        EXPECT_EQ(out->texts, (QStringList{in.texts[0], c.back, in.texts[2]})) << c.typed.toStdString();
        EXPECT_EQ(out->changed, in.changed);
        EXPECT_EQ(owner, u"77-abc"_s);
        EXPECT_TRUE(out->file.sameBytes(in.file)) << "the sheet file's state comes back";
        EXPECT_EQ(out->file.modified, in.file.modified);
    }
}

TEST_F(RecoveryJournalTest, ADamagedForeignOrHostileJournalIsIgnored)
{
    const QByteArray good = RecoveryJournal::encode(sheet, u"1-a"_s, sections, contents);
    ASSERT_TRUE(RecoveryJournal::decode(good, sheet, sections));
    QByteArray cut = good;
    cut.chop(good.size() - good.lastIndexOf("[Table68]"));
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString sheet;
    } cases[] = {
        {"another sheet's", good, u"/home/ann/orders/Order 18.pof"_s},
        {"one of a sheet of the same name elsewhere", good, u"/tmp/Order 17.pof"_s},
        {"cut short", cut, sheet},
        {"empty", QByteArray(), sheet},
        {"not a journal", "[Label2]\r\nTextValue=Acme\r\n", sheet},
        {"a later format", QByteArray(good).replace("Journal=2", "Journal=3"), sheet},
        {"an earlier format, without the file's state", QByteArray(good).replace("Journal=2", "Journal=1"), sheet},
        {"no time", QByteArray(good).replace("Changed=", "Changed=never"), sheet},
        {"no file size", QByteArray(good).replace("FileSize=", "FileSize=x"), sheet},
        {"binary", QByteArray(5000, '\0') + good, sheet},
        {"beyond a megabyte", good + QByteArray(1024 * 1024, ';'), sheet},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(RecoveryJournal::decode(c.bytes, c.sheet, sections)) << c.what;
}

TEST_F(RecoveryJournalTest, AnySheetNameFitsAndTheJournalIsPrivate)
{
    const QString longName = u"/home/ann/"_s + QString(84, QChar(0x6F22)) + u".pof"_s; // 252 bytes of name
    for (const QString &sheetPath : {sheet, longName}) {
        ASSERT_TRUE(RecoveryJournal::write(sheetPath, sections, contents, folder())) << sheetPath.toStdString();
        const QString file = journal(sheetPath, own());
        EXPECT_LE(QFile::encodeName(QFileInfo(file).fileName()).size(), 80);
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(folder()).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        const auto found = RecoveryJournal::find(sheetPath, sections, folder());
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].contents.texts, contents.texts);
        EXPECT_TRUE(found[0].ownerRunning) << "this copy runs";
        EXPECT_EQ(found[0].owner, own());
    }
    EXPECT_NE(journal(sheet, own()), journal(u"/srv/shared/Order 17.pof"_s, own()));
    EXPECT_TRUE(RecoveryJournal::find(u"/srv/shared/Order 17.pof"_s, sections, folder()).empty());

    EXPECT_TRUE(RecoveryJournal::remove(sheet, folder()));
    EXPECT_TRUE(RecoveryJournal::find(sheet, sections, folder()).empty());
    EXPECT_TRUE(RecoveryJournal::remove(sheet, folder())) << "none left counts as removed";
}

TEST_F(RecoveryJournalTest, EachCopyHasItsOwnJournalAndKnowsWhichOwnersStillRun)
{
    const QDateTime t0(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);
    ASSERT_TRUE(RecoveryJournal::write(sheet, sections, contents, folder()));
    plant(sheet, Dead, t0);                          // a copy that was killed
    plant(sheet, u"200-alive"_s, t0.addSecs(60));    // a copy that still runs
    const int lock = runningCopy(u"200-alive"_s, sheet);
    plant(sheet, u"2147483601-forged"_s, t0);
    QFile::rename(journal(sheet, u"2147483601-forged"_s), journal(sheet, u"2147483602-other"_s)); // under another's name

    // A copy that could make no owner file (a full folder) runs as long as its process does.
    const QString unannounced = QString::number(::getppid()) + u"-nofile"_s;
    plant(sheet, unannounced, t0.addSecs(-60));
    const auto found = RecoveryJournal::find(sheet, sections, folder());
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[3].owner, unannounced);
    EXPECT_TRUE(found[3].ownerRunning);
    EXPECT_EQ(found[0].owner, own()) << "the newest first";
    EXPECT_EQ(found[1].owner, u"200-alive"_s);
    EXPECT_TRUE(found[1].ownerRunning);
    EXPECT_EQ(found[2].owner, Dead);
    EXPECT_FALSE(found[2].ownerRunning);

    const auto holders = RecoveryJournal::holdersOf(sheet, folder());
    ASSERT_EQ(holders.size(), 1u) << "this copy is not another";
    EXPECT_EQ(holders[0].pid, 4242);
    EXPECT_EQ(holders[0].since, t0.addSecs(-7200));
    EXPECT_TRUE(RecoveryJournal::holdersOf(u"/tmp/other.pof"_s, folder()).empty());

    // This copy removes its own journal only.
    EXPECT_TRUE(RecoveryJournal::remove(sheet, folder()));
    EXPECT_EQ(RecoveryJournal::find(sheet, sections, folder()).size(), 3u);

    ::close(lock); // that copy ended
    EXPECT_FALSE(RecoveryJournal::find(sheet, sections, folder())[0].ownerRunning);
    EXPECT_TRUE(RecoveryJournal::holdersOf(sheet, folder()).empty());
}

TEST_F(RecoveryJournalTest, LeftBehindListsOtherSheetsThatStillExistNewestFirst)
{
    const QDateTime t0(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);
    const QString a = path(u"a.pof"_s), b = path(u"b.pof"_s), gone = path(u"gone.pof"_s), held = path(u"held.pof"_s);
    for (const QString &file : {a, b, held})
        writeBytes(file, "[Label2]\r\nTextValue=x\r\n");
    plant(a, u"2147483611-x"_s, t0);
    plant(a, u"2147483612-x"_s, t0.addSecs(600));
    plant(b, u"2147483613-x"_s, t0.addSecs(300));
    plant(gone, u"2147483614-x"_s, t0.addSecs(900));
    plant(held, u"2147483615-x"_s, t0.addSecs(900));
    const int lock = runningCopy(u"2147483615-x"_s, held);
    plant(sheet, u"2147483616-x"_s, t0.addSecs(900));

    const auto left = RecoveryJournal::leftBehind(sheet, folder());
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].first, a);
    EXPECT_EQ(left[0].second, t0.addSecs(600));
    EXPECT_EQ(left[1].first, b);
    ::close(lock);
}

TEST_F(RecoveryJournalTest, PlantedLinksPipesAndGiantsAreNeverRead)
{
    const QString target = path(u"secret.pof"_s);
    writeBytes(target, RecoveryJournal::encode(sheet, u"7-link"_s, sections, contents));
    QDir().mkpath(folder());
    const struct
    {
        const char *what;
        QString owner;
        std::function<void(const QString &)> plantAt;
    } cases[] = {
        {"a symbolic link", u"7-link"_s, [&](const QString &at) { QFile::link(target, at); }},
        {"a FIFO", u"8-fifo"_s, [](const QString &at) { ::mkfifo(QFile::encodeName(at).constData(), 0600); }},
        {"a folder", u"9-dir"_s, [](const QString &at) { QDir().mkpath(at); }},
        {"a giant", u"10-big"_s,
         [&](const QString &at) {
             writeBytes(at, RecoveryJournal::encode(sheet, u"10-big"_s, sections, contents));
             ASSERT_EQ(::truncate(QFile::encodeName(at).constData(), qint64(1) << 31), 0); // sparse
         }},
    };
    for (const auto &c : cases)
        c.plantAt(journal(sheet, c.owner));
    EXPECT_TRUE(RecoveryJournal::find(sheet, sections, folder()).empty());
    EXPECT_TRUE(RecoveryJournal::leftBehind(QString(), folder()).empty());

    // A link planted at this copy's own journal is replaced, not written through.
    const QByteArray secret = readBytes(target);
    QFile::link(target, journal(sheet, own()));
    ASSERT_TRUE(RecoveryJournal::write(sheet, sections, contents, folder()));
    EXPECT_EQ(readBytes(target), secret);
    EXPECT_FALSE(QFileInfo(journal(sheet, own())).isSymLink());
}

TEST_F(RecoveryJournalTest, TheFileStateTellsAChangedFileFromTheSameOne)
{
    const QString file = path(u"order.pof"_s);
    const auto missing = RecoveryJournal::FileState::of(file);
    EXPECT_EQ(missing.size, -1);
    writeBytes(file, "[Label2]\r\nTextValue=Acme\r\n");
    const auto first = RecoveryJournal::FileState::of(file);
    EXPECT_FALSE(first.sameBytes(missing));
    EXPECT_TRUE(first.sameBytes(RecoveryJournal::FileState::of(file)));
    writeBytes(file, "[Label2]\r\nTextValue=Acne\r\n"); // same size, other bytes
    EXPECT_FALSE(first.sameBytes(RecoveryJournal::FileState::of(file)));
}

} // namespace
