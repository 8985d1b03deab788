#include "AppError.h"
#include "IniFileCache.h"
#include "TIniFile.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

#if defined(__SANITIZE_ADDRESS__)
#define PO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PO_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef PO_ADDRESS_SANITIZER
#define PO_ADDRESS_SANITIZER 0
#endif

namespace {

class SafeFileTest : public TempDirTest
{
protected:
    static QByteArray local(const QString &name) { return QFile::encodeName(name); }

    static bool writes(const QString &file, const QString &value)
    {
        try {
            TIniFile(file).writeString(u"S", u"k", value);
            return true;
        } catch (const AppError &e) {
            EXPECT_EQ(e.message(), u"Unable to write to "_s + file);
            return false;
        }
    }
};

constexpr uid_t Nobody = 65534;

// Links are followed as the kernel follows them for this user: in a world-writable sticky
// folder only the user's own links and the folder owner's; never round a loop.
TEST_F(SafeFileTest, LinksAreFollowedOnlyAsTheKernelWould)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "links of another owner need root";
    const QString shared = path("shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(local(shared).constData(), 01777), 0);
    const QString mine = path("mine.pof");
    writeBytes(mine, "[S]\r\nk=old\r\n");

    struct Case
    {
        const char *what;
        QString link, pointsTo;
        uid_t owner;
        bool written;
    } cases[] = {
        {"another user's link in a sticky folder", shared + u"/theirs.pof"_s, mine, Nobody, false},
        {"my own link in a sticky folder", shared + u"/own.pof"_s, mine, 0, true},
        {"another user's link in my folder", path("plain.pof"), mine, Nobody, true},
        {"a loop", path("loop.pof"), path("loop.pof"), 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(mine, "[S]\r\nk=old\r\n");
        ASSERT_EQ(::symlink(local(c.pointsTo).constData(), local(c.link).constData()), 0);
        ASSERT_EQ(::lchown(local(c.link).constData(), c.owner, c.owner), 0);
        EXPECT_EQ(writes(c.link, u"new"_s), c.written);
        EXPECT_EQ(readBytes(mine), c.written ? "[S]\r\nk=new\r\n" : "[S]\r\nk=old\r\n");
        EXPECT_TRUE(QFileInfo(c.link).isSymLink());
    }
}

// A save of a file with two names reaches both; its extended attributes stay.
TEST_F(SafeFileTest, HardLinksAndExtendedAttributesSurviveASave)
{
    const QString file = path("order.pof"), other = path("copy.pof");
    writeBytes(file, "[S]\r\nk=1\r\n");
    ASSERT_EQ(::link(local(file).constData(), local(other).constData()), 0);
    EXPECT_TRUE(writes(other, u"2"_s));
    EXPECT_EQ(readBytes(file), "[S]\r\nk=2\r\n");

    ASSERT_EQ(::unlink(local(other).constData()), 0);
    if (::setxattr(local(file).constData(), "user.po.tag", "blue", 4, 0) != 0)
        GTEST_SKIP() << "no extended attributes on this file system";
    EXPECT_TRUE(writes(file, u"3"_s));
    char value[16] = {};
    EXPECT_EQ(::getxattr(local(file).constData(), "user.po.tag", value, sizeof value), 4);
    EXPECT_STREQ(value, "blue");
}

// A file beyond any order, or one that could not be read whole, reads as empty and is never
// written over, until the user chooses to save over it.
TEST_F(SafeFileTest, AFileThatCouldNotBeReadIsNeverWrittenOver)
{
    const QString file = path("huge.pof");
    QByteArray huge("[Label2]\r\nTextValue=Acme\r\n");
    huge.append(QByteArray(IniFileCache::MaxFileBytes, ';'));
    writeBytes(file, huge);
    TIniFile ini(file);
    EXPECT_EQ(ini.readString(u"Label2", u"TextValue", u"none"_s), u"none"_s);
    EXPECT_TRUE(ini.readProblem().contains(u"larger than 16 MB"_s));
    EXPECT_FALSE(writes(file, u"x"_s));
    EXPECT_EQ(QFileInfo(file).size(), huge.size());

    ini.startAfresh();
    EXPECT_TRUE(writes(file, u"x"_s));
    EXPECT_EQ(readBytes(file), "[S]\r\nk=x\r\n");
    EXPECT_TRUE(ini.readProblem().isEmpty());

#if !PO_ADDRESS_SANITIZER // it reserves more address space than any limit would leave
    // Out of memory while reading: an error, not an empty file.
    const QString order = path("order.pof");
    writeBytes(order, "[S]\r\nk=kept\r\n" + QByteArray(8 * 1024 * 1024, ';'));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
    ::malloc_trim(0); // memory freed by earlier tests of this process must not leave room
    QFile statm(u"/proc/self/statm"_s);
    ASSERT_TRUE(statm.open(QIODevice::ReadOnly));
    const rlim_t used = statm.readAll().split(' ').first().toULongLong() * rlim_t(::sysconf(_SC_PAGESIZE));
    rlimit tight = old;
    tight.rlim_cur = used + 4 * 1024 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    TIniFile starved(order);
    const QString value = starved.readString(u"S", u"k", u"none"_s);
    bool written = true;
    try {
        starved.writeString(u"S", u"k", u"lost");
    } catch (const AppError &) {
        written = false;
    }
    setrlimit(RLIMIT_AS, &old);
    EXPECT_EQ(value, u"none"_s);
    EXPECT_FALSE(written);
    EXPECT_TRUE(readBytes(order).startsWith("[S]\r\nk=kept\r\n"));
#endif
}

// Another user polling a shared folder while a private order is saved a thousand times
// reads nothing of it.
TEST_F(SafeFileTest, AnotherUserReadsNothingOfAPrivateFileBeingSaved)
{
    const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
    if (::geteuid() != 0 || setpriv.isEmpty())
        GTEST_SKIP() << "needs root and setpriv to play the other user";
    const QString shared = path("shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(local(shared).constData(), 01777), 0);
    ASSERT_EQ(::chmod(local(m_dir.path()).constData(), 0755), 0);
    const QString file = shared + u"/secret.pof"_s;
    TIniFile ini(file);
    ini.writeString(u"Vendor", u"TextValue", u"SECRET supplier price list");
    ASSERT_EQ(::chmod(local(file).constData(), 0600), 0);

    // The other user lists the folder over and over, reading every temporary file it sees.
    const QStringList asOther = {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s,
                                 QStringLiteral(PEEKING_USER), shared, u".secret.pof."_s};
    {
        // Where the other user may not run the poller at all (a root made with umask 077 keeps
        // even the C library from it) there is no one to leak to.
        writeBytes(shared + u"/stopped"_s, "");
        QProcess probe;
        probe.start(setpriv, asOther + QStringList{shared + u"/stopped"_s});
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
            GTEST_SKIP() << "the other user cannot run here: " << probe.readAllStandardError().constData();
    }
    QProcess other;
    other.start(setpriv, asOther + QStringList{shared + u"/stop"_s});
    ASSERT_TRUE(other.waitForStarted());
    const QString filler(3000, u'x');
    for (int i = 0; i < 1000; ++i)
        ini.writeString(u"Vendor", u"Note", filler + QString::number(i));
    writeBytes(shared + u"/stop"_s, "");
    ASSERT_TRUE(other.waitForFinished(30000));
    const QList<QByteArray> figures = other.readAllStandardOutput().trimmed().split(' ');
    ASSERT_EQ(figures.size(), 3) << other.readAllStandardError().constData();
    EXPECT_EQ(figures[2], "0") << "bytes read by the other user, who opened " << figures[1].constData()
                               << " of " << figures[0].constData() << " temporary files seen";
}

// Every replacement syncs the new file, renames it over the old one, then syncs the folder.
TEST_F(SafeFileTest, EachSaveSyncsTheFileBeforeItsRenameAndTheFolderAfter)
{
    if (qEnvironmentVariableIsSet("PO_SAVE_THREE_TIMES")) {
        const QString file = qEnvironmentVariable("PO_SAVE_THREE_TIMES");
        for (int i = 0; i < 3; ++i)
            TIniFile(file).writeString(u"S", u"k", QString::number(i));
        return;
    }
    const QString strace = QStandardPaths::findExecutable(u"strace"_s);
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is not installed";
    const QString file = path("order.pof"), log = path("trace");
    QProcess traced;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"PO_SAVE_THREE_TIMES"_s, file);
    traced.setProcessEnvironment(env);
    traced.start(strace, {u"-f"_s, u"-y"_s, u"-o"_s, log, u"-e"_s, u"trace=fsync,rename,renameat,renameat2"_s,
                          QCoreApplication::applicationFilePath(),
                          u"--gtest_filter=SafeFileTest.EachSaveSyncsTheFileBeforeItsRenameAndTheFolderAfter"_s});
    ASSERT_TRUE(traced.waitForFinished(60000));
    const QByteArray errors = traced.readAllStandardError();
    if (traced.exitCode() != 0 && errors.contains("ptrace"))
        GTEST_SKIP() << "strace may not trace here: " << errors.constData();
    ASSERT_EQ(traced.exitCode(), 0) << errors.constData();

    // Only the calls on this test's files, in order: "f" a sync of a temporary file, "r" a
    // rename onto the order, "d" a sync of the folder.
    QByteArray calls;
    const QByteArray folder = local(m_dir.path());
    for (const QByteArray &line : readBytes(log).split('\n')) {
        if (line.contains("fsync(") && line.contains(".tmp>"))
            calls += 'f';
        else if (line.contains("rename") && line.contains(local(file) + '"'))
            calls += 'r';
        else if (line.contains("fsync(") && line.contains('<' + folder + '>'))
            calls += 'd';
    }
    EXPECT_EQ(calls, "frdfrdfrd");
}

// In the program's private folders anything but a regular file of sane size was planted: a
// read takes it as Missing or TooLarge at once, never following a link or waiting on a FIFO;
// a write replaces a link at the name (also for root), never a folder, and never writes through.
TEST_F(SafeFileTest, PrivateFilesAreOnlyWhatStandsAtTheirName)
{
    const QString file = path("journal"), link = path("link");
    writeBytes(file, "theirs");
    writeBytes(path("big"), "");
    ASSERT_EQ(::truncate(local(path("big")).constData(), 1200ll * 1024 * 1024), 0); // sparse
    ASSERT_EQ(::symlink(local(file).constData(), local(link).constData()), 0);
    ASSERT_EQ(::mkfifo(local(path("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(path("folder")));
    using enum SafeFile::ReadStatus;
    const struct
    {
        const char *name;
        SafeFile::ReadStatus status;
    } cases[] = {{"journal", Ok}, {"link", Missing},  {"fifo", Missing},
                 {"folder", Missing}, {"none", Missing}, {"big", TooLarge}};
    for (const auto &c : cases) {
        QByteArray bytes;
        struct stat st;
        EXPECT_EQ(SafeFile::readPrivate(local(path(c.name)), 1 << 20, bytes, st), c.status) << c.name;
        EXPECT_EQ(bytes, c.status == Ok ? "theirs" : "") << c.name;
    }

    ASSERT_TRUE(SafeFile::replacePrivate(local(link), "mine"));
    EXPECT_EQ(readBytes(file), "theirs");
    struct stat st;
    ASSERT_EQ(::lstat(local(link).constData(), &st), 0);
    EXPECT_EQ(st.st_mode, S_IFREG | 0600);
    EXPECT_EQ(readBytes(link), "mine");
    EXPECT_FALSE(SafeFile::replacePrivate(local(path("folder")), "mine"));
    EXPECT_TRUE(QFileInfo(path("folder")).isDir());
}

} // namespace
