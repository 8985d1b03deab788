#include "QtPrinters.h"
#include "RecentFiles.h"
#include "TempDir.h"

#include <QDateTime>
#include <QUrl>
#include <QXmlStreamReader>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Another program's list as GLib writes it: its entries, and one file that it and this
// program both used.
const QByteArray OthersList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\"\n"
    "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
    "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
    ">\n"
    "  <bookmark href=\"file:///home/u/notes.txt\" added=\"2026-01-02T10:00:00.000000Z\" "
    "modified=\"2026-01-02T10:00:00.000000Z\" visited=\"2026-01-02T10:00:00.000000Z\">\n"
    "    <info>\n"
    "      <metadata owner=\"http://freedesktop.org\">\n"
    "        <mime:mime-type type=\"text/plain\"/>\n"
    "        <bookmark:groups>\n"
    "          <bookmark:group>gedit</bookmark:group>\n"
    "        </bookmark:groups>\n"
    "        <bookmark:applications>\n"
    "          <bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" "
    "modified=\"2026-01-02T10:00:00.000000Z\" count=\"3\"/>\n"
    "        </bookmark:applications>\n"
    "      </metadata>\n"
    "    </info>\n"
    "  </bookmark>\n"
    "</xbel>\n";

class RecentFilesTest : public TempDirTest
{
protected:
    QString list() const { return path(u"recently-used.xbel"_s); }
    QString order(const QString &name)
    {
        const QString file = path(name);
        if (!QFile::exists(file))
            writeBytes(file, "[Label2]\r\nTextValue=x\r\n");
        return file;
    }
    static QDateTime at(int minute) { return QDateTime(QDate(2026, 12, 10), QTime(9, minute), Qt::UTC); }
    // The attributes of this program's use of file, as a reader of the list sees them.
    QMap<QString, QString> use(const QString &file)
    {
        QMap<QString, QString> found;
        QXmlStreamReader reader(readBytes(list()));
        bool inEntry = false;
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (reader.name() == u"bookmark")
                inEntry = QUrl(reader.attributes().value(QLatin1StringView("href")).toString()).toLocalFile() == file;
            if (inEntry && reader.name() == u"mime-type")
                found[u"type"_s] = reader.attributes().value(QLatin1StringView("type")).toString();
            if (inEntry && reader.name() == u"application" &&
                reader.attributes().value(QLatin1StringView("name")) == RecentFiles::ApplicationName) {
                for (const auto &a : reader.attributes())
                    found[a.name().toString()] = a.value().toString();
            }
        }
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        return found;
    }
};

TEST_F(RecentFilesTest, AnOrderUsedJoinsTheListAndOtherEntriesStayByteForByte)
{
    writeBytes(list(), OthersList);
    const QString a = order(u"A 17.pof"_s);
    ASSERT_TRUE(RecentFiles::add(list(), a, RecentFiles::OrderMimeType, at(1)));
    const QByteArray after = readBytes(list());
    // Everything of the other program's is still there as it was; the new entry comes last.
    const qsizetype closing = OthersList.lastIndexOf("</xbel>");
    EXPECT_TRUE(after.startsWith(OthersList.left(closing))) << after.toStdString();
    EXPECT_TRUE(after.endsWith("</xbel>\n"));
    EXPECT_TRUE(after.contains("href=\"file://" + QUrl::toPercentEncoding(a, "/") + "\""));
    auto attributes = use(a);
    EXPECT_EQ(attributes[u"type"_s], RecentFiles::OrderMimeType);
    EXPECT_EQ(attributes[u"count"_s], u"1"_s);
    EXPECT_EQ(attributes[u"exec"_s], RecentFiles::ApplicationExec);
    EXPECT_EQ(attributes[u"modified"_s], u"2026-12-10T09:01:00.000000Z"_s);

    // Used again: counted, brought up to date, never doubled.
    ASSERT_TRUE(RecentFiles::add(list(), a, RecentFiles::OrderMimeType, at(2)));
    attributes = use(a);
    EXPECT_EQ(attributes[u"count"_s], u"2"_s);
    EXPECT_EQ(attributes[u"modified"_s], u"2026-12-10T09:02:00.000000Z"_s);
    EXPECT_EQ(readBytes(list()).count("<bookmark href"), 2);
    EXPECT_TRUE(readBytes(list()).startsWith(OthersList.left(closing)));
}

// Line ends and a byte-order mark another writer left stay as they are.
TEST_F(RecentFilesTest, AnotherWritersLineEndsAndByteOrderMarkStay)
{
    QByteArray crlf = OthersList;
    crlf.replace("\n", "\r\n");
    for (const QByteArray &before : {crlf, QByteArray("\xEF\xBB\xBF") + OthersList}) {
        writeBytes(list(), before);
        ASSERT_TRUE(RecentFiles::add(list(), order(u"a.pof"_s), RecentFiles::OrderMimeType, at(1)));
        ASSERT_TRUE(RecentFiles::add(list(), order(u"a.pof"_s), RecentFiles::OrderMimeType, at(2)));
        const QByteArray after = readBytes(list());
        const qsizetype closing = before.lastIndexOf("</xbel>");
        EXPECT_TRUE(after.startsWith(before.left(closing)));
        EXPECT_EQ(use(path(u"a.pof"_s))[u"count"_s], u"2"_s);
    }
}

// A file another program also used: its entry is brought up to date where it stands, and all
// the other program wrote in it stays (a title, groups, a private flag, another metadata).
TEST_F(RecentFilesTest, AFileAnotherProgramAlsoUsedKeepsAllThatProgramWrote)
{
    QByteArray others = OthersList;
    others.replace("    <info>\n", "    <title>Notes</title>\n    <desc>Mine</desc>\n    <info>\n");
    others.replace("        </bookmark:applications>\n",
                   "        </bookmark:applications>\n        <bookmark:private/>\n");
    others.replace("    </info>\n", "      <metadata owner=\"http://example.org\"><x/></metadata>\n    </info>\n");
    writeBytes(list(), others);
    ASSERT_TRUE(RecentFiles::add(list(), u"/home/u/notes.txt"_s, RecentFiles::OrderMimeType, at(3)));
    ASSERT_TRUE(RecentFiles::add(list(), u"/home/u/notes.txt"_s, RecentFiles::OrderMimeType, at(4)));
    QByteArray after = readBytes(list());
    EXPECT_EQ(after.count("<bookmark href"), 1);
    EXPECT_EQ(use(u"/home/u/notes.txt"_s)[u"type"_s], u"text/plain"_s) << "its type stays";
    EXPECT_EQ(use(u"/home/u/notes.txt"_s)[u"count"_s], u"2"_s);
    EXPECT_EQ(use(u"/home/u/notes.txt"_s)[u"modified"_s], u"2026-12-10T09:04:00.000000Z"_s);
    // Taking this program's use and the new times out gives back what the other wrote.
    const qsizetype ours = after.indexOf("<bookmark:application name=\"Pelmora PO\"");
    ASSERT_GE(ours, 0);
    after.remove(ours - 2, after.indexOf("/>", ours) + 2 - ours + 2 + QByteArray("\n        ").size());
    after.replace("modified=\"2026-12-10T09:04:00.000000Z\" visited=\"2026-12-10T09:04:00.000000Z\"",
                  "modified=\"2026-01-02T10:00:00.000000Z\" visited=\"2026-01-02T10:00:00.000000Z\"");
    EXPECT_EQ(after.toStdString(), others.toStdString());
}

// The dialogs are offered the orders this program used, latest first, ten at most, only those
// still there; never another program's files.
TEST_F(RecentFilesTest, TheLatestOrdersThatStillExistAreOffered)
{
    writeBytes(list(), OthersList);
    QStringList orders;
    for (int i = 0; i < 12; ++i) {
        orders << order(u"order %1.pof"_s.arg(i));
        ASSERT_TRUE(RecentFiles::add(list(), orders.back(), RecentFiles::OrderMimeType, at(10 + i)));
    }
    ASSERT_TRUE(RecentFiles::add(list(), orders[0], RecentFiles::OrderMimeType, at(30))); // opened again
    ASSERT_TRUE(QFile::remove(orders[11]));
    const QStringList offered = RecentFiles::used(list(), 10);
    const QStringList expected{orders[0], orders[10], orders[9], orders[8], orders[7],
                               orders[6], orders[5], orders[4], orders[3], orders[2]};
    EXPECT_EQ(offered, expected);
}

// Copies of the program that add at once lose none of each other's orders.
TEST_F(RecentFilesTest, OrdersAddedAtOnceByTwoCopiesAreAllKept)
{
    constexpr int Copies = 6;
    QStringList orders;
    for (int i = 0; i < Copies; ++i)
        orders << order(u"copy %1.pof"_s.arg(i));
    std::vector<pid_t> children;
    for (int i = 0; i < Copies; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int round = 0; round < 5; ++round)
                RecentFiles::add(list(), orders[i], RecentFiles::OrderMimeType, at(round));
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children)
        ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    const QStringList offered = RecentFiles::used(list(), 10);
    for (const QString &o : orders)
        EXPECT_TRUE(offered.contains(o)) << o.toStdString();
    for (const QString &o : orders)
        EXPECT_EQ(use(o)[u"count"_s], u"5"_s) << o.toStdString();
}

// A list that is not one (damaged, of another kind, a folder or a pipe at its name) is left as
// it is, and offers nothing; a missing or empty one is started.
TEST_F(RecentFilesTest, AListThatCannotBeReadIsLeftAlone)
{
    const QString a = order(u"a.pof"_s);
    const struct {
        const char *what;
        QByteArray bytes;
        bool added;
    } cases[] = {
        {"missing", QByteArray(), true},
        {"empty", "\n", true},
        {"not XML", "this is not a list", false},
        {"cut short", OthersList.left(OthersList.size() / 2), false},
        {"another kind of XML", "<?xml version=\"1.0\"?>\n<html><body/></html>\n", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(list());
        if (!c.bytes.isNull())
            writeBytes(list(), c.bytes);
        EXPECT_EQ(RecentFiles::add(list(), a, RecentFiles::OrderMimeType, at(1)), c.added);
        if (c.added) {
            EXPECT_EQ(RecentFiles::used(list(), 10), QStringList{a});
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(list()).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, c.bytes.isNull() ? 0600u : 0644u) << "a new list is the user's own";
        } else {
            EXPECT_EQ(readBytes(list()), c.bytes);
            EXPECT_EQ(RecentFiles::used(list(), 10), QStringList());
        }
    }
    QFile::remove(list());
    ASSERT_TRUE(QDir().mkdir(list()));
    EXPECT_FALSE(RecentFiles::add(list(), a, RecentFiles::OrderMimeType, at(1)));
    ASSERT_TRUE(QDir().rmdir(list()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(list()).constData(), 0600), 0);
    EXPECT_FALSE(RecentFiles::add(list(), a, RecentFiles::OrderMimeType, at(1))) << "without waiting on the pipe";
    EXPECT_EQ(RecentFiles::used(list(), 10), QStringList());
}

} // namespace
