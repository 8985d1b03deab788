#include "RecentFiles.h"

#include "GenUtils.h"
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>
#include <algorithm>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace RecentFiles {

namespace {

const QString BookmarkNs = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString MimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

// What the list says about one file, and where its entry stands in the text.
struct Entry
{
    QString file;
    qsizetype start = 0, end = 0; // the bookmark element, in characters
    qsizetype startTagEnd = 0;    // and its start tag, whose attributes these are
    QList<std::pair<QString, QString>> attributes;
    QString added;
    QString mimeType;
    qsizetype ourUse = -1, ourUseEnd = -1; // this program's application element
    // Where the closing tags start that an application element can go before: of the
    // applications, of the freedesktop metadata, of the info, of the bookmark (-1: none).
    qsizetype applicationsClose = -1, metadataClose = -1, infoClose = -1, bookmarkClose = -1;
    int count = 0;         // this program's uses
    QString used;          // when this program last used it
};

struct List
{
    QString text;
    bool byteOrderMark = false; // kept as found: decoding drops it
    qsizetype closing = -1; // where "</xbel>" starts
    QString bookmarkPrefix = QStringLiteral("bookmark"), mimePrefix = QStringLiteral("mime");
    bool prefixesDeclared = false;
    std::vector<Entry> entries;
    // The prefixes as written before a name ("bookmark:"; nothing for a default namespace).
    QString bookmark() const { return bookmarkPrefix.isEmpty() ? QString() : bookmarkPrefix + u':'; }
    QString mime() const { return mimePrefix.isEmpty() ? QString() : mimePrefix + u':'; }
};

QString fileOf(QStringView href)
{
    const QUrl url(href.toString());
    return url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
}

// Reads the list's entries and their places; nothing when it is not a bookmark list.
std::optional<List> parse(const QString &text)
{
    List list;
    list.text = text;
    QXmlStreamReader reader(text);
    Entry *entry = nullptr;
    bool ours = false, freedesktop = false;
    int depth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        // A tag ends where the reader stands; no '<' can stand inside one, so it starts at the
        // last one before. (The reader's place before a tag is not its start: it reads ahead.)
        const qsizetype after = qsizetype(reader.characterOffset());
        const qsizetype before = text.lastIndexOf(u'<', after - 1);
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = reader.name();
            if (depth == 1) {
                if (name != u"xbel")
                    return std::nullopt;
                int found = 0;
                for (const auto &declaration : reader.namespaceDeclarations()) {
                    if (declaration.namespaceUri() == BookmarkNs) {
                        list.bookmarkPrefix = declaration.prefix().toString();
                        ++found;
                    } else if (declaration.namespaceUri() == MimeNs) {
                        list.mimePrefix = declaration.prefix().toString();
                        ++found;
                    }
                }
                list.prefixesDeclared = found == 2;
            } else if (depth == 2 && name == u"bookmark") {
                list.entries.push_back({});
                entry = &list.entries.back();
                entry->file = fileOf(reader.attributes().value(QLatin1StringView("href")));
                entry->added = reader.attributes().value(QLatin1StringView("added")).toString();
                entry->start = before;
                entry->startTagEnd = after;
                for (const auto &a : reader.attributes())
                    entry->attributes.push_back({a.qualifiedName().toString(), a.value().toString()});
            } else if (entry && depth == 4 && name == u"metadata") {
                freedesktop = reader.attributes().value(QLatin1StringView("owner")) == u"http://freedesktop.org";
            } else if (entry && reader.namespaceUri() == MimeNs && name == u"mime-type") {
                entry->mimeType = reader.attributes().value(QLatin1StringView("type")).toString();
            } else if (entry && reader.namespaceUri() == BookmarkNs && name == u"application") {
                ours = reader.attributes().value(QLatin1StringView("name")) == ApplicationName;
                if (ours) {
                    entry->ourUse = before;
                    entry->count = reader.attributes().value(QLatin1StringView("count")).toInt();
                    entry->used = reader.attributes().value(QLatin1StringView("modified")).toString();
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            const QStringView name = reader.name();
            if (entry && ours && name == u"application") {
                entry->ourUseEnd = after;
                ours = false;
            } else if (entry && freedesktop && name == u"applications" && entry->applicationsClose < 0) {
                entry->applicationsClose = before;
            } else if (entry && freedesktop && depth == 3 && name == u"metadata") {
                entry->metadataClose = before;
                freedesktop = false;
            } else if (entry && depth == 2 && name == u"info") {
                entry->infoClose = before;
            } else if (entry && depth == 1 && name == u"bookmark") {
                entry->bookmarkClose = before;
                entry->end = after;
                entry = nullptr;
            } else if (depth == 0) {
                list.closing = before;
            }
        }
    }
    if (reader.hasError() || list.closing < 0)
        return std::nullopt;
    return list;
}

const char *const EmptyList = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<xbel version=\"1.0\"\n"
                              "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
                              "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
                              ">\n"
                              "</xbel>\n";

QString stamp(const QDateTime &when)
{
    // As GLib writes it: UTC, microseconds.
    return when.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz000")) + u'Z';
}

QString escaped(const QString &text)
{
    QString out = text.toHtmlEscaped();
    return out.replace(u'\'', QStringLiteral("&apos;"));
}

// This program's use of a file, as GLib writes an application element.
QString application(const List &list, const Entry &entry, const QString &now)
{
    const QString b = list.bookmark();
    return QStringLiteral("<%1application name=\"%2\" exec=\"%3\" modified=\"%4\" count=\"%5\"/>")
        .arg(b, escaped(ApplicationName), escaped(ApplicationExec), now)
        .arg(entry.count);
}

// The entry as GLib writes one, two spaces in.
QString bookmark(const List &list, const Entry &entry, const QString &now)
{
    const QString b = list.bookmark(), m = list.mime();
    const QString declarations =
        list.prefixesDeclared ? QString()
                              : QStringLiteral(" xmlns:bookmark=\"%1\" xmlns:mime=\"%2\"").arg(BookmarkNs, MimeNs);
    return QStringLiteral("<bookmark href=\"%1\" added=\"%2\" modified=\"%3\" visited=\"%3\">\n"
                          "    <info>\n"
                          "      <metadata owner=\"http://freedesktop.org\"%4>\n"
                          "        <%5mime-type type=\"%6\"/>\n"
                          "        <%7applications>\n"
                          "          %8\n"
                          "        </%7applications>\n"
                          "      </metadata>\n"
                          "    </info>\n"
                          "  </bookmark>")
        .arg(escaped(QString::fromLatin1(QUrl::fromLocalFile(entry.file).toEncoded())),
             escaped(entry.added), now, declarations, m, escaped(entry.mimeType), b,
             application(list, entry, now));
}

// An entry another program (or this one) made, brought up to date where it stands: its start
// tag's times, and this program's application element, replaced or added; everything else in
// it (titles, groups, a private flag, other programs' uses and metadata) stays as written.
QString updated(const List &list, const Entry &entry, const QString &now)
{
    const QString b = list.bookmark(), m = list.mime();
    const QString use = application(list, entry, now);
    QString inner = list.text.mid(entry.startTagEnd, entry.end - entry.startTagEnd);
    const auto at = [&](qsizetype position) { return position - entry.startTagEnd; };
    if (entry.ourUse >= 0) {
        inner.replace(at(entry.ourUse), entry.ourUseEnd - entry.ourUse, use);
    } else if (entry.applicationsClose >= 0) {
        inner.insert(at(entry.applicationsClose), QStringLiteral("  ") + use + QStringLiteral("\n        "));
    } else {
        const QString applications =
            QStringLiteral("<%1applications>\n          %2\n        </%1applications>").arg(b, use);
        const QString metadata = QStringLiteral("<metadata owner=\"http://freedesktop.org\">\n        <%1mime-type type=\"%2\"/>\n"
                                                "        %3\n      </metadata>")
                                     .arg(m, escaped(entry.mimeType), applications);
        if (entry.metadataClose >= 0)
            inner.insert(at(entry.metadataClose), QStringLiteral("  ") + applications + QStringLiteral("\n      "));
        else if (entry.infoClose >= 0)
            inner.insert(at(entry.infoClose), QStringLiteral("  ") + metadata + QStringLiteral("\n    "));
        else
            inner.insert(at(entry.bookmarkClose), QStringLiteral("  <info>\n      ") + metadata + QStringLiteral("\n    </info>\n  "));
    }
    QString tag = QStringLiteral("<bookmark");
    bool modified = false, visited = false;
    for (const auto &[name, value] : entry.attributes) {
        const bool stamp = name == u"modified" || name == u"visited";
        modified = modified || name == u"modified";
        visited = visited || name == u"visited";
        tag += QStringLiteral(" %1=\"%2\"").arg(name, escaped(stamp ? now : value));
    }
    if (!modified)
        tag += QStringLiteral(" modified=\"%1\"").arg(now);
    if (!visited)
        tag += QStringLiteral(" visited=\"%1\"").arg(now);
    return tag + u'>' + inner;
}

std::optional<List> readList(const QString &path)
{
    // Something else at the name (a folder, a pipe) is no list of ours to replace.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return std::nullopt;
    QByteArray bytes;
    struct stat st {};
    switch (SafeFile::read(QFile::encodeName(path), MaxListBytes, bytes, st)) {
    case SafeFile::ReadStatus::Missing:
        return parse(QString::fromLatin1(EmptyList));
    case SafeFile::ReadStatus::Ok: {
        // An empty file is what some programs leave when they clear the list.
        auto list = parse(bytes.trimmed().isEmpty() ? QString::fromLatin1(EmptyList) : QString::fromUtf8(bytes));
        if (list)
            list->byteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
        return list;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

QString listPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/recently-used.xbel");
}

namespace {

// Two copies of the program that add at once take turns: each reads the list the other wrote.
// (Other programs do not take this lock; their window is the moment of one rewrite.) A copy
// that holds it too long is not waited for beyond two seconds.
class ListLock
{
public:
    ListLock()
    {
        const QString folder = UserAppDir();
        if (!MakePrivateFolder(folder))
            return;
        m_fd = ::open(QFile::encodeName(folder + QStringLiteral("recent.lock")).constData(),
                      O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        for (int tries = 0; m_fd >= 0 && tries < 100; ++tries) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
                return;
            ::usleep(20 * 1000);
        }
    }
    ~ListLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // and the lock with it
    }
    ListLock(const ListLock &) = delete;
    ListLock &operator=(const ListLock &) = delete;

private:
    int m_fd = -1;
};

} // namespace

bool add(const QString &list, const QString &file, const QString &mimeType, const QDateTime &when)
{
    const ListLock lock;
    std::optional<List> parsed = readList(list);
    if (!parsed)
        return false;
    const QString now = stamp(when);
    const QString path = QDir::cleanPath(file);
    QString text = parsed->text;
    const auto it = std::find_if(parsed->entries.begin(), parsed->entries.end(),
                                 [&](const Entry &e) { return e.file == path; });
    if (it != parsed->entries.end()) {
        Entry entry = *it;
        ++entry.count;
        if (entry.mimeType.isEmpty())
            entry.mimeType = mimeType;
        text.replace(entry.start, entry.end - entry.start, updated(*parsed, entry, now));
    } else {
        Entry entry;
        entry.file = path;
        entry.added = now;
        entry.mimeType = mimeType;
        entry.count = 1;
        text.insert(parsed->closing, QStringLiteral("  ") + bookmark(*parsed, entry, now) + u'\n');
    }
    QDir().mkpath(QFileInfo(list).absolutePath());
    struct stat st {};
    const QByteArray bytes = (parsed->byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    return SafeFile::replace(QFile::encodeName(list), bytes, st, 0600);
}

QStringList used(const QString &list, int limit)
{
    const std::optional<List> parsed = readList(list);
    if (!parsed)
        return {};
    std::vector<const Entry *> ours;
    for (auto e = parsed->entries.rbegin(); e != parsed->entries.rend(); ++e) { // of one time, the later added first
        if (!e->used.isEmpty() && !e->file.isEmpty())
            ours.push_back(&*e);
    }
    // Stamps of one form sort by their text.
    std::stable_sort(ours.begin(), ours.end(), [](const Entry *a, const Entry *b) { return a->used > b->used; });
    QStringList files;
    for (const Entry *e : ours) {
        if (files.size() >= limit)
            break;
        if (QFileInfo(e->file).isFile() && !files.contains(e->file))
            files << e->file;
    }
    return files;
}

} // namespace RecentFiles
