#include "RecoveryJournal.h"

#include "GenUtils.h"
#include "IniDocument.h"
#include "SafeFile.h"
#include "Win1252.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RecoveryJournal {

namespace {

const QString Header = QStringLiteral("Recovery");
const QString FormatKey = QStringLiteral("Journal");
const QString SheetKey = QStringLiteral("SheetFile");
const QString ChangedKey = QStringLiteral("Changed");
const QString TextKey = QStringLiteral("TextValue");
const QByteArray Format = "1";
// 64 texts of at most 2047 bytes each and a header: anything larger is no journal of ours.
constexpr qint64 MaxJournalBytes = 1024 * 1024;

// The path as ASCII, so that any name (line breaks, characters Windows-1252 cannot hold)
// comes back exactly.
QByteArray pathValue(const QString &path)
{
    return QUrl::toPercentEncoding(path);
}

} // namespace

QString folder()
{
    return UserAppDir() + QStringLiteral("recovery/");
}

QString fileFor(const QString &sheetPath, const QString &folder)
{
    // The sheet's own name first, for a person looking in the folder; the hash of the whole
    // path keeps sheets of one name in different folders apart.
    const QByteArray hash = QCryptographicHash::hash(sheetPath.toUtf8(), QCryptographicHash::Sha256).toHex();
    return folder + ExtractFileName(sheetPath).left(80) + u'-' + QString::fromLatin1(hash.left(32)) +
           QStringLiteral(".journal");
}

QByteArray encode(const QString &sheetPath, const QStringList &sections, const Contents &contents)
{
    IniDocument doc = IniDocument::parse(QByteArray());
    doc.setValue(Header, FormatKey, Format);
    doc.setValue(Header, SheetKey, pathValue(sheetPath));
    doc.setValue(Header, ChangedKey, contents.changed.toUTC().toString(Qt::ISODateWithMs).toLatin1());
    for (qsizetype i = 0; i < sections.size(); ++i)
        doc.setValue(sections[i], TextKey, Win1252::encodeLine(contents.texts.value(i)));
    return doc.serialize();
}

std::optional<Contents> decode(const QByteArray &bytes, const QString &sheetPath,
                               const QStringList &sections)
{
    if (bytes.size() > MaxJournalBytes)
        return std::nullopt;
    return decode(IniDocument::parse(bytes), sheetPath, sections);
}

std::optional<Contents> decode(const IniDocument &doc, const QString &sheetPath,
                               const QStringList &sections)
{
    if (doc.value(Header, FormatKey) != Format || doc.value(Header, SheetKey) != pathValue(sheetPath))
        return std::nullopt;
    Contents contents;
    contents.changed = QDateTime::fromString(QString::fromLatin1(doc.value(Header, ChangedKey).value_or(QByteArray())),
                                             Qt::ISODateWithMs);
    if (!contents.changed.isValid())
        return std::nullopt;
    for (const QString &section : sections) {
        const auto text = doc.value(section, TextKey);
        if (!text)
            return std::nullopt; // every journal holds every text: this one is cut short
        contents.texts << Win1252::decode(*text);
    }
    return contents;
}

bool write(const QString &sheetPath, const QStringList &sections, const Contents &contents,
           const QString &folder)
{
    if (sheetPath.isEmpty() || !MakePrivateFolder(folder))
        return false;
    struct stat st;
    return SafeFile::replace(QFile::encodeName(fileFor(sheetPath, folder)),
                             encode(sheetPath, sections, contents), st, 0600);
}

std::optional<Contents> read(const QString &sheetPath, const QStringList &sections, const QString &folder)
{
    if (sheetPath.isEmpty())
        return std::nullopt;
    QByteArray bytes;
    struct stat st;
    if (SafeFile::read(QFile::encodeName(fileFor(sheetPath, folder)), MaxJournalBytes, bytes, st) !=
        SafeFile::ReadStatus::Ok)
        return std::nullopt;
    return decode(bytes, sheetPath, sections);
}

bool remove(const QString &sheetPath, const QString &folder)
{
    if (sheetPath.isEmpty())
        return true;
    const QByteArray file = QFile::encodeName(fileFor(sheetPath, folder));
    if (::unlink(file.constData()) != 0)
        return errno == ENOENT;
    // The removal is durable too: after a power cut no journal of a saved order comes back.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace RecoveryJournal
