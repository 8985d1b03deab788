#include "RecoveryJournal.h"

#include "GenUtils.h"
#include "IniDocument.h"
#include "IniFileCache.h"
#include "PosixFile.h"
#include "SafeFile.h"
#include "Win1252.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <limits>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RecoveryJournal {

namespace {

const QString Header = QStringLiteral("Recovery");
const QString FormatKey = QStringLiteral("Journal");
const QString OwnerKey = QStringLiteral("Owner");
const QString SheetKey = QStringLiteral("SheetFile");
const QString ChangedKey = QStringLiteral("Changed");
const QString SizeKey = QStringLiteral("FileSize");
const QString ModifiedKey = QStringLiteral("FileModified");
const QString HashKey = QStringLiteral("FileSHA256");
const QString TextKey = QStringLiteral("TextValue");
const QString OwnerSection = QStringLiteral("Owner");
const QString PidKey = QStringLiteral("Pid");
const QString SinceKey = QStringLiteral("Since");
const QByteArray Format = "2";
const QString JournalSuffix = QStringLiteral(".journal");
const QString OwnerSuffix = QStringLiteral(".owner");
// 64 texts of at most 2047 bytes each and a header: anything larger is no journal of ours.
constexpr qint64 MaxJournalBytes = 1024 * 1024;
constexpr qint64 MaxOwnerBytes = 64 * 1024;

// The path as ASCII, so that any name (line breaks, characters Windows-1252 cannot hold)
// comes back exactly.
QByteArray pathValue(const QString &path)
{
    return QUrl::toPercentEncoding(path);
}

QByteArray hashHex(const QByteArray &bytes, int length)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(length);
}

QByteArray timeValue(const QDateTime &t)
{
    return t.isValid() ? t.toUTC().toString(Qt::ISODateWithMs).toLatin1() : QByteArray();
}

QDateTime timeOf(const std::optional<QByteArray> &value)
{
    return QDateTime::fromString(QString::fromLatin1(value.value_or(QByteArray())), Qt::ISODateWithMs);
}

// A file of the data folder: never through a link, never a pipe or a device (a FIFO would
// block the program), never larger than limit (nothing is read of a planted giant).
bool readOwnFile(const QString &path, qint64 limit, QByteArray &bytes)
{
    struct stat st;
    return SafeFile::readPrivate(QFile::encodeName(path), limit, bytes, st) == SafeFile::ReadStatus::Ok;
}

// This copy's owner file, locked for as long as the program runs: the kernel lets go of
// the lock when the process ends, however it ends, so a lock that can be taken means its
// owner is gone.
struct OwnLock
{
    QString folder;
    QString name;
    int fd = -1;
    QDateTime since;
    QString sheet; // the sheet this copy holds
};

std::vector<OwnLock> &ownLocks()
{
    static std::vector<OwnLock> locks;
    return locks;
}

QByteArray ownerContents(const OwnLock &lock)
{
    IniDocument doc = IniDocument::parse(QByteArray());
    doc.setValue(OwnerSection, PidKey, QByteArray::number(qint64(::getpid())));
    doc.setValue(OwnerSection, SinceKey, timeValue(lock.since));
    doc.setValue(OwnerSection, SheetKey, pathValue(lock.sheet));
    return doc.serialize();
}

// Makes and locks the owner file when it is not there yet: the folder may have been full,
// read-only or missing until now.
void lockOwnerFile(OwnLock &lock)
{
    if (lock.fd >= 0 || !MakePrivateFolder(lock.folder))
        return;
    // Locked under a name no scan looks at, then renamed: a scan never finds it unlocked.
    const QByteArray temp = QFile::encodeName(lock.folder + u'.' + lock.name + QStringLiteral(".tmp"));
    const int fd = ::open(temp.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !PosixFile::writeAll(fd, ownerContents(lock)) ||
        ::rename(temp.constData(), QFile::encodeName(lock.folder + lock.name + OwnerSuffix).constData()) != 0) {
        ::unlink(temp.constData());
        ::close(fd);
        return;
    }
    lock.fd = fd; // open, and locked, until the process ends
}

OwnLock &ownLock(const QString &folder)
{
    auto &locks = ownLocks();
    auto lock = std::find_if(locks.begin(), locks.end(), [&](const OwnLock &l) { return l.folder == folder; });
    if (lock == locks.end()) {
        quint32 random = 0;
        if (::getrandom(&random, sizeof random, 0) != ssize_t(sizeof random))
            random = quint32(QDateTime::currentMSecsSinceEpoch());
        // The process comes first in the name: it still tells whether the copy runs when no
        // owner file could be made.
        locks.push_back({folder, QStringLiteral("%1-%2").arg(::getpid()).arg(random, 8, 16, QLatin1Char('0')), -1,
                         QDateTime::currentDateTimeUtc(), QString()});
        lock = locks.end() - 1;
    }
    lockOwnerFile(*lock);
    return *lock;
}

bool isOwnName(const QString &folder, const QString &name)
{
    const auto &locks = ownLocks();
    return std::any_of(locks.begin(), locks.end(),
                       [&](const OwnLock &l) { return l.folder == folder && l.name == name; });
}

// Whether the copy that owns name runs: its owner file is there and locked.
bool ownerRunning(const QString &folder, const QString &name)
{
    PosixFile::Fd fd(::open(QFile::encodeName(folder + name + OwnerSuffix).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        // No owner file: one that could not be made (a full folder) may still run, as its
        // process says. A number reused meanwhile only puts off an offer, never loses work.
        bool number = false;
        const qint64 pid = name.section(u'-', 0, 0).toLongLong(&number);
        if (!number || pid <= 1 || pid > std::numeric_limits<pid_t>::max())
            return false;
        if (pid == ::getpid()) // under another name: an earlier process of the same number
            return isOwnName(folder, name);
        return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
    }
    if (::flock(fd.get(), LOCK_SH | LOCK_NB) == 0)
        return false; // released with the lock as fd closes
    return errno == EWOULDBLOCK;
}

QStringList namesIn(const QString &folder, const QString &suffix)
{
    QStringList names = QDir(folder).entryList({u'*' + suffix}, QDir::Files | QDir::System | QDir::Hidden);
    for (QString &name : names)
        name.chop(suffix.size());
    return names;
}

// A journal's sheet, as its header names it.
std::optional<QString> sheetOf(const IniDocument &doc)
{
    const auto value = doc.value(Header, SheetKey);
    if (!value)
        return std::nullopt;
    return QUrl::fromPercentEncoding(*value);
}

struct Parsed
{
    QString file;
    QString owner;
    QString sheet;
    QDateTime changed;
};

// Every journal file in folder whose name starts with prefix, as read (never a link, a pipe
// or a giant), with its path.
std::vector<std::pair<QString, QByteArray>> readJournals(const QString &folder, const QString &prefix = QString())
{
    std::vector<std::pair<QString, QByteArray>> journals;
    for (const QString &name : namesIn(folder, JournalSuffix)) {
        QByteArray bytes;
        const QString file = folder + name + JournalSuffix;
        if (name.startsWith(prefix) && readOwnFile(file, MaxJournalBytes, bytes))
            journals.emplace_back(file, bytes);
    }
    return journals;
}

// Every readable journal in folder, with its owner and sheet.
std::vector<Parsed> journalsIn(const QString &folder)
{
    std::vector<Parsed> found;
    for (const auto &[file, bytes] : readJournals(folder)) {
        const IniDocument doc = IniDocument::parse(bytes);
        const auto sheet = sheetOf(doc);
        const QString owner = QString::fromLatin1(doc.value(Header, OwnerKey).value_or(QByteArray()));
        if (!sheet || owner.isEmpty() || doc.value(Header, FormatKey) != Format)
            continue;
        found.push_back({file, owner, *sheet, timeOf(doc.value(Header, ChangedKey))});
    }
    return found;
}

} // namespace

FileState FileState::of(const QString &sheetPath)
{
    FileState state;
    QByteArray bytes;
    struct stat st;
    if (SafeFile::read(QFile::encodeName(sheetPath), IniFileCache::MaxFileBytes, bytes, st) != SafeFile::ReadStatus::Ok)
        return state;
    state.size = bytes.size();
    state.modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000,
                                                    Qt::UTC);
    state.sha256 = hashHex(bytes, 64);
    return state;
}

QString folder()
{
    return UserAppDir() + QStringLiteral("recovery/");
}

QString ownOwner(const QString &folder)
{
    return ownLock(folder).name;
}

void release(const QString &folder)
{
    auto &locks = ownLocks();
    const auto lock = std::find_if(locks.begin(), locks.end(), [&](const OwnLock &l) { return l.folder == folder; });
    if (lock == locks.end())
        return;
    if (lock->fd >= 0) {
        ::unlink(QFile::encodeName(folder + lock->name + OwnerSuffix).constData());
        ::close(lock->fd);
    }
    locks.erase(lock);
}

void holdSheet(const QString &sheetPath, const QString &folder)
{
    OwnLock &lock = ownLock(folder);
    lock.sheet = sheetPath;
    if (lock.fd < 0)
        return; // written once the file can be made
    const QByteArray bytes = ownerContents(lock);
    if (::ftruncate(lock.fd, 0) == 0 && ::lseek(lock.fd, 0, SEEK_SET) == 0)
        PosixFile::writeAll(lock.fd, bytes);
}

std::vector<Holder> holdersOf(const QString &sheetPath, const QString &folder)
{
    std::vector<Holder> holders;
    const QString own = ownOwner(folder);
    for (const QString &name : namesIn(folder, OwnerSuffix)) {
        if (name == own)
            continue;
        if (!ownerRunning(folder, name)) {
            // Its journals, if any, are a crash's either way; the file itself tells nothing more.
            ::unlink(QFile::encodeName(folder + name + OwnerSuffix).constData());
            continue;
        }
        QByteArray bytes;
        if (!readOwnFile(folder + name + OwnerSuffix, MaxOwnerBytes, bytes))
            continue;
        const IniDocument doc = IniDocument::parse(bytes);
        if (doc.value(OwnerSection, SheetKey) != pathValue(sheetPath))
            continue;
        holders.push_back({doc.value(OwnerSection, PidKey).value_or(QByteArray()).toLongLong(),
                           timeOf(doc.value(OwnerSection, SinceKey))});
    }
    return holders;
}

QString fileFor(const QString &sheetPath, const QString &owner, const QString &folder)
{
    return folder + QString::fromLatin1(hashHex(sheetPath.toUtf8(), 32)) + u'-' + owner + JournalSuffix;
}

QByteArray encode(const QString &sheetPath, const QString &owner, const QStringList &sections,
                  const Contents &contents)
{
    IniDocument doc = IniDocument::parse(QByteArray());
    doc.setValue(Header, FormatKey, Format);
    doc.setValue(Header, OwnerKey, owner.toLatin1());
    doc.setValue(Header, SheetKey, pathValue(sheetPath));
    doc.setValue(Header, ChangedKey, timeValue(contents.changed));
    doc.setValue(Header, SizeKey, QByteArray::number(contents.file.size));
    doc.setValue(Header, ModifiedKey, timeValue(contents.file.modified));
    doc.setValue(Header, HashKey, contents.file.sha256);
    for (qsizetype i = 0; i < sections.size(); ++i)
        doc.setValue(sections[i], TextKey, Win1252::encodeLine(contents.texts.value(i)));
    return doc.serialize();
}

std::optional<Contents> decode(const QByteArray &bytes, const QString &sheetPath,
                               const QStringList &sections, QString *owner)
{
    if (bytes.size() > MaxJournalBytes)
        return std::nullopt;
    return decode(IniDocument::parse(bytes), sheetPath, sections, owner);
}

std::optional<Contents> decode(const IniDocument &doc, const QString &sheetPath,
                               const QStringList &sections, QString *owner)
{
    if (doc.value(Header, FormatKey) != Format || doc.value(Header, SheetKey) != pathValue(sheetPath))
        return std::nullopt;
    Contents contents;
    contents.changed = timeOf(doc.value(Header, ChangedKey));
    if (!contents.changed.isValid())
        return std::nullopt;
    bool sized = false;
    contents.file.size = doc.value(Header, SizeKey).value_or(QByteArray()).toLongLong(&sized);
    if (!sized)
        return std::nullopt;
    contents.file.modified = timeOf(doc.value(Header, ModifiedKey));
    contents.file.sha256 = doc.value(Header, HashKey).value_or(QByteArray());
    for (const QString &section : sections) {
        const auto text = doc.value(section, TextKey);
        if (!text)
            return std::nullopt; // every journal holds every text: this one is cut short
        contents.texts << Win1252::decode(*text);
    }
    if (owner)
        *owner = QString::fromLatin1(doc.value(Header, OwnerKey).value_or(QByteArray()));
    return contents;
}

bool write(const QString &sheetPath, const QStringList &sections, const Contents &contents,
           const QString &folder)
{
    if (sheetPath.isEmpty()) {
        errno = EINVAL;
        return false;
    }
    if (!MakePrivateFolder(folder))
        return false;
    const QString owner = ownOwner(folder);
    // A link planted at the name is replaced, never written through.
    return SafeFile::replacePrivate(QFile::encodeName(fileFor(sheetPath, owner, folder)),
                                    encode(sheetPath, owner, sections, contents));
}

std::vector<Found> find(const QString &sheetPath, const QStringList &sections, const QString &folder)
{
    std::vector<Found> found;
    const QString prefix = QString::fromLatin1(hashHex(sheetPath.toUtf8(), 32)) + u'-';
    for (const auto &[file, bytes] : readJournals(folder, prefix)) {
        QString owner;
        auto contents = decode(bytes, sheetPath, sections, &owner);
        // A journal under another owner's name is not that owner's to answer for.
        if (!contents || fileFor(sheetPath, owner, folder) != file)
            continue;
        found.push_back({file, owner, ownerRunning(folder, owner), *contents});
    }
    std::sort(found.begin(), found.end(),
              [](const Found &a, const Found &b) { return a.contents.changed > b.contents.changed; });
    return found;
}

std::vector<std::pair<QString, QDateTime>> leftBehind(const QString &except, const QString &folder)
{
    std::vector<std::pair<QString, QDateTime>> sheets;
    for (const Parsed &journal : journalsIn(folder)) {
        if (journal.sheet == except || !QFileInfo::exists(journal.sheet) || ownerRunning(folder, journal.owner))
            continue;
        const auto same = std::find_if(sheets.begin(), sheets.end(),
                                       [&](const auto &s) { return s.first == journal.sheet; });
        if (same == sheets.end())
            sheets.emplace_back(journal.sheet, journal.changed);
        else
            same->second = std::max(same->second, journal.changed);
    }
    std::sort(sheets.begin(), sheets.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    return sheets;
}

bool remove(const QString &sheetPath, const QString &folder)
{
    if (sheetPath.isEmpty())
        return true;
    return removeFile(fileFor(sheetPath, ownOwner(folder), folder));
}

bool removeFile(const QString &journalFile)
{
    const QByteArray file = QFile::encodeName(journalFile);
    if (::unlink(file.constData()) != 0)
        return errno == ENOENT;
    // The removal is durable too: after a power cut no journal of a saved order comes back.
    return PosixFile::syncFolder(PosixFile::directoryOf(file));
}

} // namespace RecoveryJournal
