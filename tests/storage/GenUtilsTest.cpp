#include "QtPrinters.h"
#include "GenUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(ReplaceAll, RepeatsUntilTheSearchTextIsGone)
{
    struct Case
    {
        QString source, search, replacement, expected;
    };
    const Case cases[] = {
        {"aabb", "ab", "", ""}, // removing one occurrence makes the next
        {"-12.00", "-", "", "12.00"},
        {"--5", "-", "", "5"},
        {"aab", "ab", "ba", "baa"},
        {"Abab", "ab", "", "Ab"}, // letter case matters
        {"abc", "", "x", "abc"},
        {"", "a", "b", ""},
        // Replacements that contain the search text are done once each.
        {"a-b", "-", "--", "a--b"},
        {"aa", "a", "aa", "aaaa"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReplaceAll(c.source, c.search, c.replacement), c.expected)
            << c.source.toStdString() << " / " << c.search.toStdString();
    }
}

TEST(ReplaceAll, EndsEvenWhenEveryReplacementRebuildsTheSearchText)
{
    // "aba" with "ab" -> "bba" gives "abba", which holds "ab" again, and so on for ever.
    const QString result = ReplaceAll(u"aba"_s, u"ab"_s, u"bba"_s);
    EXPECT_LE(result.size(), 10);
}

TEST(Paths, AppFileDropsAnyFolderOfTheName)
{
    const QString dir = QCoreApplication::applicationDirPath() + u'/';
    EXPECT_EQ(AppDir(), dir);
    EXPECT_EQ(AppFile(u"varnel.ini"), dir + u"varnel.ini"_s);
    EXPECT_EQ(AppFile(u"/elsewhere/sub/blank.ini"), dir + u"blank.ini"_s);
    EXPECT_EQ(ExtractFilePath(u"/a/b.c/d.pof"), u"/a/b.c/"_s);
    EXPECT_EQ(ExtractFileName(u"/a/b.c/d.pof"), u"d.pof"_s);
    EXPECT_EQ(ExtractFilePath(u"d.pof"), QString());
}

TEST(Paths, AnUnwritableProgramFolderGivesWayToTheUsersDataFolder)
{
    EXPECT_EQ(ChooseAppDir(u"/opt/po/"_s, true), u"/opt/po/"_s);
    EXPECT_EQ(ChooseAppDir(u"/opt/po/"_s, false), UserAppDir());
    EXPECT_TRUE(UserAppDir().endsWith(u"/pelmora-po/"_s));
    EXPECT_TRUE(QDir::isAbsolutePath(UserAppDir()));
}

TEST(Paths, FirstExistingFileFallsBackToTheThirdEvenWhenAbsent)
{
    const QString tag = QString::number(QCoreApplication::applicationPid());
    const QString first = u"first-"_s + tag + u".ini"_s;
    const QString second = u"second-"_s + tag + u".ini"_s;
    const QString third = u"third-"_s + tag + u".ini"_s;

    EXPECT_EQ(FirstExistingFile(first, second, third), AppFile(third));
    // A folder of the first name is passed over.
    ASSERT_TRUE(QDir().mkpath(AppFile(first)));
    EXPECT_EQ(FirstExistingFile(first, second, third), AppFile(third));
    QDir().rmdir(AppFile(first));

    QFile f(AppFile(second));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(FirstExistingFile(first, second, third), AppFile(second));
    QFile g(AppFile(first));
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.close();
    EXPECT_EQ(FirstExistingFile(first, second, third), AppFile(first));
    QFile::remove(AppFile(first));
    QFile::remove(AppFile(second));
}

} // namespace
