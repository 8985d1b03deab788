#include "RecentFiles.h"

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

namespace RecentFiles {

namespace {

const QString BookmarkNs = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString MimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

// What the list says about one file, and where its entry stands in the text.
struct Entry
{
    QString file;
    qsizetype start = 0, end = 0; // the bookmark element, in characters
    QString added;
    QString mimeType;
    QStringList otherUses; // other programs' application elements, as written
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
    qsizetype applicationStart = -1;
    bool ours = false;
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
            } else if (entry && reader.namespaceUri() == MimeNs && name == u"mime-type") {
                entry->mimeType = reader.attributes().value(QLatin1StringView("type")).toString();
            } else if (entry && reader.namespaceUri() == BookmarkNs && name == u"application") {
                applicationStart = before;
                ours = reader.attributes().value(QLatin1StringView("name")) == ApplicationName;
                if (ours) {
                    entry->count = reader.attributes().value(QLatin1StringView("count")).toInt();
                    entry->used = reader.attributes().value(QLatin1StringView("modified")).toString();
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (entry && applicationStart >= 0 && reader.name() == u"application") {
                if (!ours)
                    entry->otherUses << text.mid(applicationStart, after - applicationStart);
                applicationStart = -1;
            } else if (entry && depth == 1 && reader.name() == u"bookmark") {
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

// The entry as GLib writes one, two spaces in.
QString bookmark(const List &list, const Entry &entry, const QString &now)
{
    const QString b = list.bookmarkPrefix.isEmpty() ? QString() : list.bookmarkPrefix + u':';
    const QString m = list.mimePrefix.isEmpty() ? QString() : list.mimePrefix + u':';
    const QString declarations =
        list.prefixesDeclared ? QString()
                              : QStringLiteral(" xmlns:bookmark=\"%1\" xmlns:mime=\"%2\"").arg(BookmarkNs, MimeNs);
    QString uses;
    for (const QString &other : entry.otherUses)
        uses += QStringLiteral("          ") + other + u'\n';
    return QStringLiteral("<bookmark href=\"%1\" added=\"%2\" modified=\"%3\" visited=\"%3\">\n"
                          "    <info>\n"
                          "      <metadata owner=\"http://freedesktop.org\"%4>\n"
                          "        <%5mime-type type=\"%6\"/>\n"
                          "        <%7applications>\n"
                          "          <%7application name=\"%8\" exec=\"%9\" modified=\"%3\" count=\"%10\"/>\n"
                          "%11"
                          "        </%7applications>\n"
                          "      </metadata>\n"
                          "    </info>\n"
                          "  </bookmark>")
        .arg(escaped(QString::fromLatin1(QUrl::fromLocalFile(entry.file).toEncoded())),
             escaped(entry.added), now, declarations, m, escaped(entry.mimeType), b,
             escaped(ApplicationName), escaped(ApplicationExec))
        .arg(entry.count)
        .arg(uses);
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

bool add(const QString &list, const QString &file, const QString &mimeType, const QDateTime &when)
{
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
        if (entry.added.isEmpty())
            entry.added = now;
        text.replace(entry.start, entry.end - entry.start, bookmark(*parsed, entry, now));
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
    for (const Entry &e : parsed->entries) {
        if (!e.used.isEmpty() && !e.file.isEmpty())
            ours.push_back(&e);
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
