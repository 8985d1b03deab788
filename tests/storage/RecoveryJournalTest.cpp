#include "TempDir.h"

#include "RecoveryJournal.h"

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class RecoveryJournalTest : public TempDirTest
{
protected:
    QString folder() const { return path(u"recovery/"_s); }
    const QStringList sections{u"Image1"_s, u"Table00"_s, u"Table68"_s};
    const QString sheet = u"/home/ann/orders/Order 17.pof"_s;
    const RecoveryJournal::Contents contents{{u"/home/ann/logo.jpg"_s, u"12"_s, u"Bolts, 3/8\""_s},
                                             QDateTime(QDate(2026, 12, 9), QTime(14, 5, 6, 789), Qt::UTC)};
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
        const auto out = RecoveryJournal::decode(RecoveryJournal::encode(sheet, sections, in), sheet, sections);
        ASSERT_TRUE(out) << c.typed.toStdString();
        EXPECT_EQ(out->texts, (QStringList{in.texts[0], c.back, in.texts[2]})) << c.typed.toStdString();
        EXPECT_EQ(out->changed, in.changed);
    }
}

TEST_F(RecoveryJournalTest, ADamagedForeignOrHostileJournalIsIgnored)
{
    const QByteArray good = RecoveryJournal::encode(sheet, sections, contents);
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
        {"a later format", QByteArray(good).replace("Journal=1", "Journal=2"), sheet},
        {"no time", QByteArray(good).replace("Changed=", "Changed=never"), sheet},
        {"binary", QByteArray(5000, '\0') + good, sheet},
        {"beyond a megabyte", good + QByteArray(1024 * 1024, ';'), sheet},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(RecoveryJournal::decode(c.bytes, c.sheet, sections)) << c.what;
}

TEST_F(RecoveryJournalTest, AJournalIsPrivateNamedFromTheWholePathAndRemovedDurably)
{
    const QString other = u"/srv/shared/Order 17.pof"_s;
    EXPECT_NE(RecoveryJournal::fileFor(sheet, folder()), RecoveryJournal::fileFor(other, folder()));
    EXPECT_TRUE(RecoveryJournal::fileFor(sheet, folder()).startsWith(folder() + u"Order 17.pof-"_s));

    ASSERT_TRUE(RecoveryJournal::write(sheet, sections, contents, folder()));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(folder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(RecoveryJournal::fileFor(sheet, folder())).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const auto back = RecoveryJournal::read(sheet, sections, folder());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->texts, contents.texts);
    EXPECT_FALSE(RecoveryJournal::read(other, sections, folder()));

    EXPECT_TRUE(RecoveryJournal::remove(sheet, folder()));
    EXPECT_FALSE(RecoveryJournal::read(sheet, sections, folder()));
    EXPECT_TRUE(RecoveryJournal::remove(sheet, folder())) << "none left counts as removed";
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
