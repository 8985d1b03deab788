#include "QtPrinters.h"
#include "WindowFixture.h"

#include "AppError.h"
#include "IniDocument.h"
#include "IniFileCache.h"
#include "InPlaceRewrite.h"
#include "LineItemGrid.h"
#include "SheetGroupBox.h"
#include "SheetLabel.h"
#include "SafeFile.h"
#include "TPurchaseOrderForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class ReliabilityTest : public WindowTest
{
protected:
    static QStringList rewriteCopies(const QString &pattern)
    {
        return QDir(QFile::decodeName(InPlaceRewrite::folder())).entryList({pattern}, QDir::Files | QDir::Hidden);
    }
};

// A sheet with one name is replaced whole; one with a second name (a hard link) is rewritten
// in place, its old bytes kept aside meanwhile. Either way, whatever instant a save is killed
// at, the next read finds every text from one and the same save, under each of its names.
TEST_F(ReliabilityTest, AKilledSaveLeavesEitherTheOldOrTheNewSheet)
{
    struct Case
    {
        const char *what;
        bool secondName;
    };
    for (const Case c : {Case{"replacement", false}, Case{"rewrite in place", true}}) {
        SCOPED_TRACE(c.what);
        const QString file = path(c.secondName ? "linked.pof" : "order.pof");
        const QString other = path("other-name.pof");
        if (c.secondName) {
            writeBytes(file, "");
            ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
        }
        QRandomGenerator random(20261208);
        int kills = 0, interrupted = 0;
        QSet<QString> generations;
        while (kills < 300) {
            QProcess writer;
            writer.start(QStringLiteral(CRASH_WRITER), {file, QString::number(kills * 100000)});
            ASSERT_TRUE(writer.waitForStarted());
            if (kills == 0) {
                ASSERT_TRUE(writer.waitForReadyRead(10000)); // the first save is complete
            }
            QThread::usleep(random.bounded(3000, 25000)); // after starting up, a few saves in
            ::kill(pid_t(writer.processId()), SIGKILL);
            writer.waitForFinished();
            ++kills;
            if (!rewriteCopies(u"*.old"_s).isEmpty())
                ++interrupted;

            // Every text of the file comes from one and the same save.
            QByteArray bytes;
            struct stat st;
            ASSERT_EQ(SafeFile::read(QFile::encodeName(file), IniFileCache::MaxFileBytes, bytes, st),
                      SafeFile::ReadStatus::Ok) << "kill " << kills;
            const IniDocument doc = IniDocument::parse(bytes);
            QSet<QString> seen;
            for (const FieldSpec &field : SheetFields::components()) {
                if (!field.isPersisted())
                    continue;
                const auto value = doc.value(field.nameString(), u"TextValue");
                ASSERT_TRUE(value.has_value()) << field.name << " after kill " << kills;
                seen.insert(QString::fromLatin1(*value));
            }
            for (int col = 0; col < 7; ++col) {
                for (int r = 0; r < 9; ++r)
                    seen.insert(QString::fromLatin1(*doc.value(SheetFields::TableKey(col, r), u"TextValue")));
            }
            ASSERT_EQ(seen.size(), 1) << "a mixed file after kill " << kills;
            generations.unite(seen);
            if (c.secondName) {
                ASSERT_EQ(readBytes(other), bytes) << "kill " << kills;
                ASSERT_EQ(rewriteCopies(u"*.old"_s), QStringList()) << "kill " << kills;
            }
        }
        EXPECT_GT(generations.size(), 20) << "the kills fell on many different saves";
        if (c.secondName) {
            EXPECT_GT(interrupted, 10) << "the kills fell inside rewrites";
        }

        // Whatever a killed writer left behind, the next save clears it away.
        TPurchaseOrderForm sheet;
        sheet.OpenSheetFile(file);
        sheet.SaveSheet();
        QStringList expected{QFileInfo(file).fileName()};
        if (c.secondName)
            expected << QFileInfo(other).fileName();
        expected.sort();
        EXPECT_EQ(entries(), expected);
        EXPECT_EQ(rewriteCopies(u"*"_s), QStringList()) << "a killed copy's temporary file is cleared too";
        for (const QString &name : expected)
            ASSERT_TRUE(QFile::remove(path(name)));
    }
}

// Saves that cannot be done: each reports the file and loses nothing that was there.
TEST_F(ReliabilityTest, FailedSavesReportTheFileAndKeepWhatWasThere)
{
    struct Case
    {
        const char *what;
        std::function<QString(const QString &)> spoil; // returns the file to save into
        std::function<void()> undo;
    };
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_IGN);
    const Case cases[] = {
        {"disk full", [&](const QString &f) {
             rlimit tight = old;
             tight.rlim_cur = 200;
             setrlimit(RLIMIT_FSIZE, &tight);
             return f;
         }, [&] { setrlimit(RLIMIT_FSIZE, &old); }},
        {"read-only file", [](const QString &f) {
             ::chmod(f.toLocal8Bit().constData(), 0444);
             return f;
         }, [] {}},
        {"folder gone", [](const QString &f) {
             const QString gone = QFileInfo(f).absolutePath() + u"/gone/order.pof"_s;
             return gone;
         }, [] {}},
        {"file became a folder", [](const QString &f) {
             QFile::remove(f);
             QDir().mkdir(f);
             return f;
         }, [] {}},
    };
    for (const Case &c : cases) {
        const QString file = path(QString::fromLatin1(c.what).replace(u' ', u'-') + u".pof"_s);
        const QByteArray before = "[Label2]\r\nTextValue=Kept\r\n";
        writeBytes(file, before);
        TPurchaseOrderForm sheet;
        sheet.OpenSheetFile(file);
        sheet.LoadSheet();
        const QString target = c.spoil(file);
        sheet.OpenSheetFile(target);
        QString message;
        try {
            sheet.SaveSheet();
        } catch (const AppError &e) {
            message = e.message();
        }
        c.undo();
        EXPECT_EQ(message, u"Unable to write to "_s + target) << c.what;
        if (QFileInfo(file).isFile()) {
            EXPECT_EQ(readBytes(file), before) << c.what;
        }
        EXPECT_EQ(platform.busyDepth, 0) << c.what;
    }
}

QByteArray randomBytes(int n)
{
    QByteArray b(n, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &c : b)
        c = char(random.bounded(256));
    return b;
}

TEST_F(ReliabilityTest, DamagedSheetFilesLoadAsFarAsTheyCan)
{
    QByteArray manySections;
    for (int i = 0; i < 100000; ++i)
        manySections += "[S" + QByteArray::number(i) + "]\r\nTextValue=x\r\n";
    const QString dir = m_dir.path();
    writeBytes(path("big.jpg"), QByteArray(50 * 1024 * 1024, '\xFF'));
    struct Case
    {
        const char *what;
        QByteArray bytes;
        QString label2;
    };
    const Case cases[] = {
        {"truncated in a line", "[Label2]\r\nTextValue=Acme\r\n[Label3]\r\nTextVa", u"Acme"_s},
        {"NUL bytes", QByteArray("[Label2]\r\nTextValue=A\0B\r\n", 24), QString::fromLatin1("A\0B", 3)},
        {"10 MB line", "[Label2]\r\nTextValue=Acme\r\n" + QByteArray(10 << 20, 'x'), u"Acme"_s},
        {"100,000 sections", manySections + "[Label2]\r\nTextValue=Acme\r\n", u"Acme"_s},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[Label2]\r\nTextValue=Caf\xC3\xA9\r\n", u"CafÃ©"_s},
        {"random bytes", randomBytes(200000), u"My Company Name"_s},
        {"unusable fonts", "[Label2]\r\nTextValue=Acme\r\nFontSize=-5\r\nFontColor=99999999999\r\n"
                           "FontStyle=99\r\n[Label3]\r\nFontSize=100000\r\n", u"Acme"_s},
        {"logo is a folder", "[Image1]\r\nTextValue=" + dir.toUtf8() + "\r\n", u"My Company Name"_s},
        {"logo of 50 MB", "[Image1]\r\nTextValue=" + path("big.jpg").toUtf8() + "\r\n", u"My Company Name"_s},
    };
    for (const Case &c : cases) {
        const QString file = path("damaged.pof");
        writeBytes(file, c.bytes);
        TPurchaseOrderForm sheet;
        sheet.OpenSheetFile(file);
        QElapsedTimer timer;
        timer.start();
        sheet.LoadSheet();
        EXPECT_LT(timer.elapsed(), 20000) << c.what;
        EXPECT_EQ(sheet.Label(u"Label2")->Caption(), c.label2) << c.what;
        for (QObject *o : sheet.Components()) {
            if (const SheetFont *font = TPurchaseOrderForm::ComponentFontOf(o)) {
                EXPECT_GE(font->size, 1) << c.what << " " << o->objectName().toStdString();
                EXPECT_LE(font->size, 400) << c.what << " " << o->objectName().toStdString();
            }
        }
        EXPECT_FALSE(sheet.Label(u"Label2")->Font().style.strikeOut);
    }
}

} // namespace
