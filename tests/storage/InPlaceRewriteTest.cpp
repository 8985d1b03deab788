#include "InPlaceRewrite.h"
#include "SafeFile.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class InPlaceRewriteTest : public TempDirTest
{
protected:
    void TearDown() override { QDir(QFile::decodeName(InPlaceRewrite::folder())).removeRecursively(); }

    static QStringList copies()
    {
        return QDir(QFile::decodeName(InPlaceRewrite::folder())).entryList(QDir::Files | QDir::Hidden);
    }

    static QByteArray read(const QString &file)
    {
        QByteArray bytes;
        struct stat st;
        EXPECT_EQ(SafeFile::read(QFile::encodeName(file), 1 << 20, bytes, st), SafeFile::ReadStatus::Ok);
        return bytes;
    }

    // A file with two names holding left, as a rewrite stopped there leaves it; st and
    // identity say which file it is.
    void makeLinked(const QString &file, const QString &other, const QByteArray &left, struct stat &st,
                    InPlaceRewrite::Identity &identity)
    {
        writeBytes(file, left);
        ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::fstat(fd, &st), 0);
        identity = InPlaceRewrite::identityOf(fd);
        ::close(fd);
    }

    static bool writePrivate(const QByteArray &name, const QByteArray &bytes)
    {
        QFile f(QFile::decodeName(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() &&
               f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }

    // A copy as the writer leaves it: private, in the copies' folder.
    static void plant(const struct stat &st, const QByteArray &contents)
    {
        ASSERT_TRUE(QDir().mkpath(QFile::decodeName(InPlaceRewrite::folder())));
        ASSERT_TRUE(writePrivate(InPlaceRewrite::copyName(st), contents));
    }

    static void rename(const QString &from, const QString &to)
    {
        ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()), 0);
    }
};

const QByteArray Old = "[S]\r\nk=old\r\nm=1\r\n";
const QByteArray New = "[S]\r\nk=new\r\n";

// A rewrite stopped at any instant leaves its copy; the next read keeps the new bytes when
// they are all there, else puts the old ones back, and removes the copy; also after the file
// was renamed, where the file system tells a file from a later one with its inode number.
TEST_F(InPlaceRewriteTest, TheNextReadFinishesOrUndoesAnInterruptedRewrite)
{
    struct Case
    {
        const char *when;
        QByteArray left; // what the file held when the writer stopped
        QByteArray read; // what the next read finds
    };
    const Case cases[] = {
        {"before the cut", Old, Old},
        {"just after the cut", "", Old},
        {"half way", New.first(7), Old},
        {"after a power cut that kept the length, not the bytes", QByteArray(New.size(), '\0'), Old},
        {"after the last byte", New, New},
    };
    for (const bool renamed : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.when) + (renamed ? ", then renamed" : ""));
            const QString file = path("order.pof"), other = path("second-name.pof"), moved = path("moved.pof");
            struct stat st;
            InPlaceRewrite::Identity identity;
            makeLinked(file, other, c.left, st, identity);
            if (renamed && !identity.known())
                GTEST_SKIP() << "this file system tells no file from a later one with its inode number";
            plant(st, InPlaceRewrite::copyContents(st, identity, QFile::encodeName(file), New, Old));
            const QString name = renamed ? moved : file;
            if (renamed)
                rename(file, moved);

            EXPECT_EQ(read(renamed ? name : other), c.read); // any name of the file finds the copy
            EXPECT_EQ(readBytes(renamed ? other : name), c.read);
            EXPECT_EQ(copies(), QStringList());
            QFile::remove(name);
            QFile::remove(other);
        }
    }
}

// A copy is applied only to the file it was made for, as far as the copy can tell: one whose
// recorded birth time or generation is not the file's belongs to an earlier file that had
// the inode number; one of an older version (no identity) only while its name leads there;
// one the user could not have written privately is not trusted. A copy left alone stays.
TEST_F(InPlaceRewriteTest, ACopyIsAppliedOnlyToTheFileItWasMadeFor)
{
    using InPlaceRewrite::Identity;
    struct Case
    {
        const char *what;
        std::function<Identity(Identity)> recorded; // the identity the copy records
        bool olderVersion, renamed;
        mode_t mode;
        bool applied;
    };
    const auto same = [](Identity id) { return id; };
    const Case cases[] = {
        {"its own", same, false, false, 0600, true},
        {"another birth time", [](Identity id) { return Identity{id.birth + '1', id.generation}; }, false, false,
         0600, false},
        {"another generation", [](Identity id) { return Identity{id.birth, id.generation + '1'}; }, false, false,
         0600, false},
        {"an older version's, under its name", same, true, false, 0600, true},
        {"an older version's, after a rename", same, true, true, 0600, false},
        {"readable by others", same, false, false, 0644, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path("order.pof"), other = path("second-name.pof");
        struct stat st;
        Identity identity;
        makeLinked(file, other, "", st, identity);
        if (!identity.known())
            GTEST_SKIP() << "this file system tells no file from a later one with its inode number";
        const Identity recorded = c.recorded(identity);
        QByteArray copy = InPlaceRewrite::copyContents(st, recorded, QFile::encodeName(file), New, Old);
        if (c.olderVersion) {
            // Version 1: no birth time and generation after the hash.
            const auto part = [](const QByteArray &value) { return value.isEmpty() ? QByteArray("-") : value; };
            const QByteArray tail = ' ' + part(recorded.birth) + ' ' + part(recorded.generation) + '\n';
            copy.replace("rewrite 2\n", "rewrite 1\n").replace(tail, "\n");
        }
        plant(st, copy);
        ASSERT_EQ(::chmod(InPlaceRewrite::copyName(st).constData(), c.mode), 0);
        if (c.renamed)
            rename(file, path("moved.pof"));

        EXPECT_EQ(read(other), c.applied ? Old : "");
        EXPECT_EQ(copies().size(), c.applied ? 0 : 1);
        QDir(QFile::decodeName(InPlaceRewrite::folder())).removeRecursively();
        for (const QString &name : entries())
            QFile::remove(path(name));
    }
}

// Whatever else stands at a copy's name (a FIFO no one writes, a link to a copy, a folder, a
// file larger than any copy, a damaged copy) is passed over at once and never applied; a save
// sets it aside rather than deleting it.
TEST_F(InPlaceRewriteTest, AnythingButACopyAtACopysNameIsPassedOver)
{
    using Make = std::function<bool(const QByteArray &at, const QByteArray &copy)>;
    const struct
    {
        const char *what;
        Make make;
    } cases[] = {
        {"a FIFO", [](const auto &at, const auto &) { return ::mkfifo(at.constData(), 0600) == 0; }},
        {"a link to a copy",
         [](const auto &at, const auto &copy) {
             return writePrivate(at + ".real", copy) && ::symlink((at + ".real").constData(), at.constData()) == 0;
         }},
        {"a folder", [](const auto &at, const auto &) { return ::mkdir(at.constData(), 0700) == 0; }},
        {"a giant", // sparse: no disk taken
         [](const auto &at, const auto &copy) {
             return writePrivate(at, copy) && ::truncate(at.constData(), 1200ll * 1024 * 1024) == 0;
         }},
        {"a damaged copy", [](const auto &at, const auto &copy) { return writePrivate(at, "not a copy\n" + copy); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path("order.pof"), other = path("second-name.pof");
        struct stat st;
        InPlaceRewrite::Identity identity;
        makeLinked(file, other, "", st, identity);
        ASSERT_TRUE(QDir().mkpath(QFile::decodeName(InPlaceRewrite::folder())));
        ASSERT_TRUE(c.make(InPlaceRewrite::copyName(st),
                           InPlaceRewrite::copyContents(st, identity, QFile::encodeName(file), New, Old)));

        EXPECT_EQ(read(file), "");
        struct stat written;
        ASSERT_TRUE(SafeFile::replace(QFile::encodeName(other), New, written));
        EXPECT_EQ(readBytes(file), New);
        const QStringList kept = QDir(QFile::decodeName(InPlaceRewrite::folder()))
                                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        EXPECT_EQ(kept.filter(u".stale"_s).size(), 1) << kept.join(u' ').toStdString();
        QDir(QFile::decodeName(InPlaceRewrite::folder())).removeRecursively();
        QFile::remove(file);
        QFile::remove(other);
    }
}

// With no place for the copy, nothing is cut: the save fails and the file keeps its bytes.
TEST_F(InPlaceRewriteTest, NoRewriteWithoutACopy)
{
    const QString file = path("order.pof"), other = path("second-name.pof");
    writeBytes(file, Old);
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
    const QString folder = QFile::decodeName(InPlaceRewrite::folder());
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder.chopped(1)).path()));
    writeBytes(folder.chopped(1), "a file where the folder goes");
    struct stat st;
    EXPECT_FALSE(SafeFile::replace(QFile::encodeName(file), New, st));
    EXPECT_EQ(readBytes(other), Old);
    QFile::remove(folder.chopped(1));
}

} // namespace
