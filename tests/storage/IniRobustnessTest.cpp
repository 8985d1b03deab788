#include "QtPrinters.h"
#include "AppError.h"
#include "TIniFile.h"
#include "TempDir.h"

#include <random>

namespace {

class IniRobustnessTest : public TempDirTest
{
};

QByteArray randomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray bytes(qsizetype(n), Qt::Uninitialized);
    for (char &c : bytes)
        c = char(rng());
    return bytes;
}

// Whatever the file holds, reading gives a value or the default, and a write adds its
// key while every byte that was there stays.
TEST_F(IniRobustnessTest, BadFilesNeverBreakReadingOrWriting)
{
    const std::pair<const char *, QByteArray> inputs[] = {
        {"binary garbage", randomBytes(100000, 1)},
        {"NUL bytes", QByteArray("[S]\0\r\nk=\0v\0\r\n[\0]\r\n", 18)},
        {"10 MB line", QByteArray(10 * 1024 * 1024, 'x')},
        {"10 MB value", "[S]\r\nk=" + QByteArray(10 * 1024 * 1024, 'v')},
        {"unbalanced quotes and brackets", "[S\r\n\"k=\"\r\n]]]\r\n[[T]\r\n'=''\r\n"},
        {"only line breaks", QByteArray(50000, '\r') + QByteArray(50000, '\n')},
        {"lone brackets", "[\r\n]\r\n[]\r\n=\r\n"},
    };
    for (const auto &[what, bytes] : inputs) {
        const QString file = path("bad.ini");
        writeBytes(file, bytes);
        TIniFile ini(file);
        (void)ini.readString(u"S", u"k", {});
        (void)ini.readInteger(u"S", u"k", 0);
        ini.writeString(u"Fresh", u"key", u"value");
        EXPECT_EQ(ini.readString(u"Fresh", u"key", {}), QStringLiteral("value")) << what;
        EXPECT_TRUE(readBytes(file).startsWith(bytes)) << what;
    }
}

TEST_F(IniRobustnessTest, ADirectoryWhereAFileIsExpectedReadsAsMissingAndCannotBeWritten)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("sheet.pof")));
    TIniFile ini(path("sheet.pof"));
    EXPECT_EQ(ini.readString(u"S", u"k", QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_THROW(ini.writeString(u"S", u"k", u"v"), AppError);
    EXPECT_TRUE(QFileInfo(path("sheet.pof")).isDir());
    EXPECT_EQ(entries(), QStringList{QStringLiteral("sheet.pof")});
}

TEST_F(IniRobustnessTest, AnEmptyFileNameReadsDefaultsAndCannotBeWritten)
{
    TIniFile ini{QString()};
    EXPECT_EQ(ini.readString(u"S", u"k", QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_THROW(ini.writeString(u"S", u"k", u"v"), AppError);
}

TEST_F(IniRobustnessTest, AFileInAMissingFolderCannotBeWritten)
{
    TIniFile ini(path("no/such/folder/a.ini"));
    try {
        ini.writeString(u"S", u"k", u"v");
        ADD_FAILURE() << "the write did not fail";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to write to ") + path("no/such/folder/a.ini"));
    }
}

} // namespace
