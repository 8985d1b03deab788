#include "InPlaceRewrite.h"
#include "SafeFile.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
};

const QByteArray Old = "[S]\r\nk=old\r\nm=1\r\n";
const QByteArray New = "[S]\r\nk=new\r\n";

// A rewrite stopped at any instant leaves its copy; the next read keeps the new bytes when
// they are all there, else puts the old ones back, and removes the copy.
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
    for (const Case &c : cases) {
        SCOPED_TRACE(c.when);
        const QString file = path("order.pof"), other = path("second-name.pof");
        writeBytes(file, c.left);
        ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
        ASSERT_TRUE(QDir().mkpath(QFile::decodeName(InPlaceRewrite::folder())));
        writeBytes(QFile::decodeName(InPlaceRewrite::copyName(st)),
                   InPlaceRewrite::copyContents(st, QFile::encodeName(file), New, Old));

        EXPECT_EQ(read(other), c.read); // any name of the file finds the copy
        EXPECT_EQ(readBytes(file), c.read);
        EXPECT_EQ(copies(), QStringList());
        QFile::remove(file);
        QFile::remove(other);
    }
}

// A copy that does not belong to the file read (damaged, or its name now leads to another
// file that got the same inode number) changes nothing; a save sets it aside, never deletes it.
TEST_F(InPlaceRewriteTest, ACopyOfAnotherFileIsLeftAloneAndKept)
{
    const QString file = path("order.pof"), other = path("second-name.pof");
    writeBytes(file, New);
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    ASSERT_TRUE(QDir().mkpath(QFile::decodeName(InPlaceRewrite::folder())));
    const QString copy = QFile::decodeName(InPlaceRewrite::copyName(st));
    for (const QByteArray &contents : {InPlaceRewrite::copyContents(st, QFile::encodeName(path("gone.pof")), "x", Old),
                                       QByteArray("not a copy\n") + Old}) {
        writeBytes(copy, contents);
        EXPECT_EQ(read(file), New);
        EXPECT_EQ(copies().size(), 1);
    }

    struct stat written;
    ASSERT_TRUE(SafeFile::replace(QFile::encodeName(other), "[S]\r\nk=saved\r\n", written));
    EXPECT_EQ(readBytes(file), "[S]\r\nk=saved\r\n");
    const QStringList kept = copies();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept.first().endsWith(u".stale"_s));
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
