#include "QtPrinters.h"
#include "AppError.h"
#include "IniFileCache.h"
#include "TIniFile.h"
#include "TempDir.h"

#include <QDir>
#include <QScopeGuard>

#include <csignal>
#include <sys/resource.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class IniFileTest : public TempDirTest
{
};

struct ReadCase
{
    const char *what;
    QByteArray file;
    const char *section;
    const char *key;
    QString expected; // "<default>" when the default comes back
};

TEST_F(IniFileTest, ReadsValuesByThePrivateProfileRules)
{
    const QString def = QStringLiteral("<default>");
    const ReadCase cases[] = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"missing key", "[S]\r\nk=v\r\n", "S", "other", def},
        {"missing section", "[S]\r\nk=v\r\n", "T", "k", def},
        {"present but empty is not the default", "[S]\r\nk=\r\n", "S", "k", ""},
        {"names ignore case", "[label2]\r\nTEXTVALUE=x\r\n", "Label2", "TextValue", "x"},
        {"blanks around names", "  [ S ]  \r\n  k \t= v\r\n", "S", "k", "v"},
        {"blanks around value dropped", "[S]\r\nk=  Vendor:  \r\n", "S", "k", "Vendor:"},
        {"double quotes removed", "[S]\r\nk=\" a \"\r\n", "S", "k", " a "},
        {"single quotes removed", "[S]\r\nk='b'\r\n", "S", "k", "b"},
        {"unbalanced quote kept", "[S]\r\nk=\"abc\r\n", "S", "k", "\"abc"},
        {"mismatched quotes kept", "[S]\r\nk=\"abc'\r\n", "S", "k", "\"abc'"},
        {"equals sign in value", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
        {"LF endings", "[S]\nk=v\n", "S", "k", "v"},
        {"CR endings", "[S]\rk=v\r", "S", "k", "v"},
        {"LF CR is two line breaks", "[S]\n\rk=v", "S", "k", "v"},
        {"no final newline", "[S]\r\nk=v", "S", "k", "v"},
        {"first duplicated key wins", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "1"},
        {"first duplicated section wins", "[S]\r\na=1\r\n[s]\r\nk=2\r\n", "S", "k", def},
        {"comment is no key", "[S]\r\n;k=v\r\n", "S", "k", def},
        {"line without equals is no key", "[S]\r\nk\r\n", "S", "k", def},
        {"key before any section", "k=v\r\n[S]\r\n", "S", "k", def},
        {"byte-order mark", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "v"},
        {"windows-1252 bytes", "[S]\r\nk=\xA3\x80\xE9\r\n", "S", "k", u"£€é"_s},
        {"header without closing bracket", "[S\r\nk=v\r\n", "S", "k", "v"},
        {"accented names ignore case", "[\xC9tat]\r\n\xC9T\xC9=x\r\n", "\xE9tat", "\xE9t\xE9", "x"},
        {"key after blank and comment lines", "[S]\r\n\r\n;a\r\n;b\n\r\nk=v\r\n", "S", "k", "v"},
    };
    for (const ReadCase &c : cases) {
        const QString file = path("read.ini");
        writeBytes(file, c.file);
        TIniFile ini(file);
        EXPECT_EQ(ini.readString(QString::fromLatin1(c.section), QString::fromLatin1(c.key), def),
                  c.expected)
            << c.what;
    }
}

TEST_F(IniFileTest, LongValuesAreCutAt2047Characters)
{
    writeBytes(path("a.ini"), "[S]\r\nk=" + QByteArray(5000, 'x') + "\r\n");
    EXPECT_EQ(TIniFile(path("a.ini")).readString(u"S", u"k", {}).size(), 2047);
}

TEST_F(IniFileTest, ReadingAMissingFileGivesTheDefaultAndCreatesNothing)
{
    TIniFile ini(path("absent.ini"));
    EXPECT_EQ(ini.readString(u"S", u"k", QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.readInteger(u"S", u"k", 7), 7);
    EXPECT_TRUE(ini.readBool(u"S", u"k", true));
    ini.flush();
    EXPECT_TRUE(entries().isEmpty());
}

struct WriteCase
{
    const char *what;
    std::optional<QByteArray> before; // nullopt: no file yet
    QString section, key, value;
    QByteArray after;
};

TEST_F(IniFileTest, WritesChangeOnlyTheLineTheyReplaceOrAdd)
{
    const WriteCase cases[] = {
        {"creates file and section", std::nullopt, "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"appends a new section", "[A]\r\nx=1\r\n", "S", "k", "v", "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"},
        {"appends key to its section", "[S]\r\na=1\r\n[T]\r\n", "S", "b", "2",
         "[S]\r\na=1\r\nb=2\r\n[T]\r\n"},
        {"new key stays before blank lines", "[S]\na=1\n\n[T]\nx=y\n", "S", "b", "2",
         "[S]\na=1\nb=2\r\n\n[T]\nx=y\n"},
        {"replaces in place keeping comments, endings and the key's spelling",
         "; note\n[S]\nk=old\n[U]\nz=1\n", "s", "K", "new", "; note\n[S]\nk=new\n[U]\nz=1\n"},
        {"keeps a key's spelling, not its blanks", "[Section]\r\n  TextValue = old\r\n", "SECTION",
         "TEXTVALUE", "new", "[Section]\r\nTextValue=new\r\n"},
        {"gives a last line without newline one", "[S]\nk=v", "T", "a", "1",
         "[S]\nk=v\r\n[T]\r\na=1\r\n"},
        {"header as last line", "[S]", "S", "a", "1", "[S]\r\na=1\r\n"},
        {"keeps the byte-order mark", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "w",
         "\xEF\xBB\xBF[S]\r\nk=w\r\n"},
        {"replaces the first duplicate only", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3",
         "[S]\r\nk=3\r\nk=2\r\n"},
        {"keeps unknown sections and garbage", "junk\r\n[X]\r\n\x01\x02\r\n", "S", "k", "v",
         "junk\r\n[X]\r\n\x01\x02\r\n[S]\r\nk=v\r\n"},
        {"pound and euro are single bytes", std::nullopt, "S", "k", u"£€"_s,
         "[S]\r\nk=\xA3\x80\r\n"},
        {"unrepresentable characters become ?", std::nullopt, "S", "k", u"a\u4e2d\U0001F600b"_s,
         "[S]\r\nk=a??b\r\n"},
        {"line breaks cannot start new lines", std::nullopt, "S", "k", "a\r\n[T]\nb",
         "[S]\r\nk=a  [T] b\r\n"},
    };
    for (const WriteCase &c : cases) {
        const QString file = path("write.ini");
        QFile::remove(file);
        if (c.before)
            writeBytes(file, *c.before);
        TIniFile(file).writeString(c.section, c.key, c.value);
        EXPECT_EQ(readBytes(file), c.after) << c.what;
    }
}

TEST_F(IniFileTest, IntegersAndBooleansFollowTheIntegerRule)
{
    struct Case
    {
        const char *text;
        int expected;
    };
    const int def = -99;
    const Case cases[] = {
        {"42", 42},       {"-7", -7},         {"+3", 3},          {" 5 ", 5},
        {"$FF", 255},     {"0x0000FF", 255},  {"$0000FF", 255},   {"0X1f", 31},
        {"$80000008", -2147483640},           {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},     {"2147483648", def}, {"0xFFFFFFFFF", def},
        {"0x", def},      {"$", def},         {"red", def},       {"1.5", def},
        {"", def},        {"--1", def},       {"$-1", def},       {"\xD9\xA3", def},
    };
    for (const Case &c : cases) {
        writeBytes(path("i.ini"), QByteArray("[S]\r\nk=") + c.text + "\r\n");
        EXPECT_EQ(TIniFile(path("i.ini")).readInteger(u"S", u"k", def), c.expected) << c.text;
    }

    TIniFile ini(path("b.ini"));
    ini.writeBool(u"S", u"on", true);
    ini.writeBool(u"S", u"off", false);
    ini.writeInteger(u"S", u"n", -2147483640);
    EXPECT_EQ(readBytes(path("b.ini")), "[S]\r\non=1\r\noff=0\r\nn=-2147483640\r\n");
    for (const auto &[text, expected] : {std::pair{"2", true}, {"-1", true}, {"0", false},
                                         {"yes", true}, {"", true}}) {
        writeBytes(path("b.ini"), QByteArray("[S]\r\nk=") + text);
        EXPECT_EQ(TIniFile(path("b.ini")).readBool(u"S", u"k", true), expected) << text;
    }
}

TEST_F(IniFileTest, ObjectsOnOneFileAndOtherWritersAreSeenAtOnce)
{
    const QString file = path("shared.ini");
    TIniFile a(file), b(file);
    a.writeString(u"S", u"k", u"one");
    EXPECT_EQ(b.readString(u"S", u"k", {}), QStringLiteral("one"));
    b.writeString(u"S", u"k", u"two");
    EXPECT_EQ(a.readString(u"S", u"k", {}), QStringLiteral("two"));

    // Another program replaces the file with one of the same size.
    writeBytes(path("other"), "[S]\r\nk=six\r\n");
    ASSERT_EQ(::rename(path("other").toLocal8Bit(), file.toLocal8Bit()), 0);
    EXPECT_EQ(a.readString(u"S", u"k", {}), QStringLiteral("six"));

    // ...or rewrites it in place, or removes it.
    writeBytes(file, "[S]\r\nk=seven\r\n");
    EXPECT_EQ(b.readString(u"S", u"k", {}), QStringLiteral("seven"));
    QFile::remove(file);
    EXPECT_EQ(a.readString(u"S", u"k", QStringLiteral("gone")), QStringLiteral("gone"));
}

TEST_F(IniFileTest, AFileIsParsedOnlyWhenItChanged)
{
    const QString file = path("cached.ini");
    writeBytes(file, "[S]\r\nk=1\r\n");
    TIniFile a(file), b(file);
    const quint64 before = IniFileCache::instance().parseCount();
    for (int i = 0; i < 20; ++i) {
        (void)a.readString(u"S", u"k", {});
        (void)b.readInteger(u"S", u"k", 0);
    }
    EXPECT_EQ(IniFileCache::instance().parseCount(), before + 1);

    a.writeString(u"S", u"k", u"2"); // our own write updates the parsed copy
    EXPECT_EQ(b.readString(u"S", u"k", {}), u"2"_s);
    EXPECT_EQ(IniFileCache::instance().parseCount(), before + 1);

    writeBytes(file, "[S]\r\nk=three\r\n");
    EXPECT_EQ(a.readString(u"S", u"k", {}), u"three"_s);
    EXPECT_EQ(b.readString(u"S", u"k", {}), u"three"_s);
    EXPECT_EQ(IniFileCache::instance().parseCount(), before + 2);
}

TEST_F(IniFileTest, AWriteThatWouldPassTheReadLimitIsRefused)
{
    // Just under the limit, the file loads; a save that makes it larger is refused, so that
    // the next start still loads it.
    const QString file = path("big.pof");
    const QByteArray start = "[S]\r\nk=v\r\n;";
    writeBytes(file, start + QByteArray(IniFileCache::MaxFileBytes - start.size() - 10, 'x') + "\r\n");
    const QByteArray before = readBytes(file);
    TIniFile ini(file);
    ASSERT_EQ(ini.readString(u"S", u"k", {}), u"v"_s);
    ini.writeString(u"S", u"k", u"w"); // as large as before
    try {
        ini.writeString(u"S", u"k", QString(100, u'x'));
        ADD_FAILURE() << "the write did not fail";
    } catch (const AppError &e) {
        EXPECT_TRUE(e.message().startsWith(u"Unable to write to "_s + file + u": it would be larger than 16 MB"_s))
            << e.message().toStdString();
    }
    EXPECT_EQ(readBytes(file).size(), before.size());
    EXPECT_EQ(ini.readString(u"S", u"k", {}), u"w"_s) << "the file still loads";
}

TEST_F(IniFileTest, AFailedWriteRaisesAndLeavesTheOldFileAsItWas)
{
    const QString file = path("order.pof");
    TIniFile ini(file);
    ini.writeString(u"S", u"k", u"kept");
    const QByteArray before = readBytes(file);

    // Let no file grow past its present size, so writing the bigger file fails.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = rlim_t(before.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    try {
        ini.writeString(u"S", u"k", QString(100, u'x'));
        ADD_FAILURE() << "the write did not fail";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to write to ") + file);
    }
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("order.pof")}); // no temporary left
    EXPECT_EQ(ini.readString(u"S", u"k", {}), QStringLiteral("kept"));
}

TEST_F(IniFileTest, WritesKeepTheFileModeAndWriteThroughLinks)
{
    const QString file = path("real.ini");
    writeBytes(file, "[S]\r\nk=1\r\n");
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(QFile::link(file, path("link.ini")));

    TIniFile(path("link.ini")).writeString(u"S", u"k", u"2");
    EXPECT_TRUE(QFileInfo(path("link.ini")).isSymLink());
    EXPECT_EQ(readBytes(file), "[S]\r\nk=2\r\n");
    struct stat st;
    ASSERT_EQ(::stat(file.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

// A file that belongs to someone else (a colleague's order, written by root) keeps its owner
// and group, and its mode, when it is replaced.
TEST_F(IniFileTest, WritesKeepTheFilesOwnerAndGroupWhereTheyMay)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another owner";
    const QString file = path("shared.pof");
    writeBytes(file, "[S]\r\nk=1\r\n");
    const QByteArray name = file.toLocal8Bit();
    ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(name.constData(), 02664), 0);

    TIniFile(file).writeString(u"S", u"k", u"2");
    struct stat st;
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(readBytes(file), "[S]\r\nk=2\r\n");
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 02664u);
}

// A file the user may write in a folder the user may not write (no temporary file can be made
// beside it) is rewritten in place; a write that cannot be completed leaves the old bytes.
TEST_F(IniFileTest, AWritableFileInALockedFolderIsWrittenInPlace)
{
    const QString folder = path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + u"/order.pof"_s;
    writeBytes(file, "[S]\r\nk=1\r\n");
    const QByteArray dir = folder.toLocal8Bit();
    // Root may write any folder: an immutable one is locked for root as well.
    const int locked = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const bool immutable = ::geteuid() == 0 && ::ioctl(locked, FS_IOC_GETFLAGS, &flags) == 0 &&
                           (flags |= FS_IMMUTABLE_FL, ::ioctl(locked, FS_IOC_SETFLAGS, &flags) == 0);
    if (!immutable && (::geteuid() == 0 || ::chmod(dir.constData(), 0555) != 0)) {
        ::close(locked);
        GTEST_SKIP() << "no way to lock a folder here";
    }
    const auto unlock = qScopeGuard([&] {
        if (immutable) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(locked, FS_IOC_SETFLAGS, &flags);
        }
        ::close(locked);
        ::chmod(dir.constData(), 0755);
    });

    TIniFile(file).writeString(u"S", u"k", u"2");
    EXPECT_EQ(readBytes(file), "[S]\r\nk=2\r\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"order.pof"_s});

    // A write cut short by the file-size limit puts the old bytes back and says so.
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tiny = old;
    tiny.rlim_cur = 12;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    bool failed = false;
    try {
        TIniFile(file).writeString(u"S", u"long", u"a value longer than the limit");
    } catch (const AppError &) {
        failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_TRUE(failed);
    EXPECT_EQ(readBytes(file), "[S]\r\nk=2\r\n");
}

TEST_F(IniFileTest, RelativeNamesLiveInTheUserConfigurationFolder)
{
    TIniFile ini(QStringLiteral("varnel.ini"));
    EXPECT_EQ(ini.fileName(), QStringLiteral("varnel.ini"));
    EXPECT_TRUE(QDir::isAbsolutePath(ini.fullPath()));
    EXPECT_TRUE(ini.fullPath().endsWith(QStringLiteral("/varnel.ini")));
}

} // namespace
