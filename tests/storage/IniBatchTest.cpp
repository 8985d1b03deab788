#include "QtPrinters.h"
#include "AppError.h"
#include "IniBatch.h"
#include "TIniFile.h"
#include "TempDir.h"

using namespace Qt::StringLiterals;

namespace {

class IniBatchTest : public TempDirTest
{
};

TEST_F(IniBatchTest, ChangesAreReadAtOnceAndWrittenOnceOnCommit)
{
    const QString file = path("sheet.pof");
    TIniFile writer(file), reader(file);
    {
        IniBatch outer;
        writer.writeString(u"A", u"k", u"1");
        {
            IniBatch inner;
            writer.writeString(u"B", u"k", u"2");
            inner.commit(); // nested: the outer batch decides
        }
        EXPECT_EQ(reader.readString(u"B", u"k", {}), u"2"_s);
        EXPECT_TRUE(entries().isEmpty()) << "nothing on disk before the commit";
        outer.commit();
    }
    EXPECT_EQ(readBytes(file), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
}

TEST_F(IniBatchTest, ABatchEndedWithoutCommitForgetsItsChanges)
{
    const QString file = path("sheet.pof");
    TIniFile ini(file);
    ini.writeString(u"A", u"k", u"old");
    {
        IniBatch batch;
        ini.writeString(u"A", u"k", u"new");
        ini.writeString(u"B", u"k", u"x");
    }
    EXPECT_EQ(ini.readString(u"A", u"k", {}), u"old"_s);
    EXPECT_EQ(readBytes(file), "[A]\r\nk=old\r\n");
}

TEST_F(IniBatchTest, AFailedCommitRaisesAndKeepsTheOldFile)
{
    const QString good = path("good.pof");
    TIniFile ok(good), bad(path("missing/dir.pof"));
    ok.writeString(u"A", u"k", u"old");
    IniBatch batch;
    ok.writeString(u"A", u"k", u"new");
    bad.writeString(u"A", u"k", u"lost");
    EXPECT_THROW(batch.commit(), AppError);
    EXPECT_EQ(ok.readString(u"A", u"k", {}), u"new"_s) << "files that could be written are";
    EXPECT_EQ(bad.readString(u"A", u"k", u"none"_s), u"none"_s);
}

} // namespace
