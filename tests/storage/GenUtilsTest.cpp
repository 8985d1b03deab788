#include "QtPrinters.h"
#include "GenUtils.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

TEST(Paths, AFileNameFromAPONumberKeepsAllOfIt)
{
    const struct
    {
        QString number, name;
    } cases[] = {
        {u"2026/017"_s, u"2026-017"_s},
        {u"1405-12072026"_s, u"1405-12072026"_s},
        {u"a/b/c"_s, u"a-b-c"_s},
        {u"..secret"_s, u"--secret"_s},
        {u"v1.2"_s, u"v1.2"_s},
        {QString::fromUtf16(u"PO\0 7", 5), u"PO- 7"_s},
        {u"Bestellung Nr. 5 ä"_s, u"Bestellung Nr. 5 ä"_s},
        {QString(), u"Purchase Order"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FileNameFromText(c.number), c.name) << c.number.toStdString();
    // Too long for a file name: cut by whole characters, room left for an extension.
    for (const QString &number : {QString(300, u'7'), QString(150, u'ä'), QString::fromUtf8("\xF0\x9F\x93\xA6").repeated(70)}) {
        const QString name = FileNameFromText(number);
        EXPECT_LE(name.toUtf8().size(), MaxFileNameStemBytes);
        EXPECT_GT(name.toUtf8().size(), MaxFileNameStemBytes - 4);
        EXPECT_TRUE(number.startsWith(name));
        EXPECT_FALSE(name.back().isHighSurrogate());
    }
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
    EXPECT_EQ(ChooseAppDir(u"/usr/bin/"_s, true), UserAppDir()) << "installed, run by root";
    EXPECT_EQ(ChooseAppDir(u"/usr/local/bin/"_s, true), UserAppDir());
    EXPECT_EQ(ChooseAppDir(u"/usrlocal/po/"_s, true), u"/usrlocal/po/"_s);
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

class StartupFileTest : public TempDirTest
{
};

// An installed copy in a read-only folder: a start-up sheet put beside the program is used
// while the user's own folder has none, as the user's own writable copy.
TEST_F(StartupFileTest, ASheetBesideAReadOnlyProgramIsCopiedIntoTheUsersFolder)
{
    const QString program = path(u"opt/"_s), user = path(u"home/"_s);
    QDir().mkpath(program);
    QDir().mkpath(user);
    writeBytes(program + u"template.ini"_s, "[Label2]\r\nTextValue=Shipped\r\n");
    QFile::setPermissions(program + u"template.ini"_s, QFile::ReadOwner | QFile::ReadOther);

    const QString chosen = FirstExistingFileIn(user, program, u"blank.ini", u"template.ini", u"varnel.ini");
    EXPECT_EQ(chosen, user + u"template.ini"_s);
    EXPECT_EQ(readBytes(chosen), "[Label2]\r\nTextValue=Shipped\r\n");
    EXPECT_TRUE(QFile::permissions(chosen) & QFile::WriteOwner);

    // The user's own copy of a name wins; blank.ini still comes before template.ini.
    writeBytes(user + u"template.ini"_s, "[Label2]\r\nTextValue=Mine\r\n");
    writeBytes(program + u"blank.ini"_s, "");
    EXPECT_EQ(FirstExistingFileIn(user, program, u"blank.ini", u"template.ini", u"varnel.ini"),
              user + u"blank.ini"_s);
    EXPECT_EQ(readBytes(user + u"template.ini"_s), "[Label2]\r\nTextValue=Mine\r\n");

    // A writable program folder is the user's folder: nothing is copied.
    EXPECT_EQ(FirstExistingFileIn(program, program, u"none.ini", u"template.ini", u"varnel.ini"),
              program + u"template.ini"_s);
    EXPECT_EQ(FirstExistingFileIn(user, program, u"x.ini", u"y.ini", u"varnel.ini"),
              user + u"varnel.ini"_s);
}

// The program's private folders: made 0700, an existing one of the user's tightened to 0700;
// a link or another user's folder refused and left as it is.
TEST_F(StartupFileTest, APrivateFolderIsTheUsersOwnAndNoOneElses)
{
    const auto local = [this](const char *name) { return QFile::encodeName(path(name)); };
    const bool root = ::geteuid() == 0;
    for (const char *name : {"open", "elsewhere", "theirs"}) {
        ASSERT_EQ(::mkdir(local(name).constData(), 0755), 0);
        ASSERT_EQ(::chmod(local(name).constData(), 0755), 0); // whatever the umask
    }
    ASSERT_EQ(::symlink(local("elsewhere").constData(), local("link").constData()), 0);
    if (root) {
        ASSERT_EQ(::chown(local("theirs").constData(), 65534, 65534), 0);
    }
    const struct
    {
        const char *name;
        bool made;
        mode_t mode; // of what is at the name (a link's target) afterwards
    } cases[] = {
        {"a/b/new", true, 0700}, {"open", true, 0700}, {"link", false, 0755}, {"theirs", !root, root ? 0755u : 0700u}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakePrivateFolder(path(c.name)), c.made);
        struct stat st;
        ASSERT_EQ(::stat(local(c.name).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
    }
}

} // namespace
