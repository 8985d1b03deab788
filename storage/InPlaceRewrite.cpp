#include "InPlaceRewrite.h"

#include "GenUtils.h"
#include "IniFileCache.h"
#include "PosixFile.h"
#include "SafeFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QList>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/fs.h>
#include <new>
#include <sys/ioctl.h>
#include <unistd.h>

namespace InPlaceRewrite {

using namespace PosixFile;

namespace {

// A copy: this first line, then "<device> <inode> <new size> <new SHA-256> <birth time>
// <generation>" ("-" for either that the file system does not give), then the
// percent-encoded path the file was written under, each ending in "\n"; then the old bytes.
// Copies of version 1, from before the file's identity was recorded, lack the last two.
const QByteArray Magic = "pelmora-po rewrite 2";
const QByteArray MagicByName = "pelmora-po rewrite 1";

static_assert(MaxOldBytes >= IniFileCache::MaxFileBytes, "every sheet the program reads can be rewritten");
// The old bytes and the header: three lines, the path in them at most three times PATH_MAX.
constexpr qint64 MaxCopyBytes = MaxOldBytes + 64 * 1024;

struct Copy
{
    dev_t device = 0;
    ino_t inode = 0;
    qint64 newSize = -1;
    QByteArray newHash;
    Identity identity;
    QByteArray path;
    QByteArray old;
};

QByteArray hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

bool decode(const QByteArray &bytes, Copy &copy)
{
    qsizetype at = 0;
    const auto line = [&](QByteArray &out) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            return false;
        out = bytes.mid(at, end - at);
        at = end + 1;
        return true;
    };
    QByteArray magic, figures, path;
    if (!line(magic) || (magic != Magic && magic != MagicByName) || !line(figures) || !line(path))
        return false;
    const QList<QByteArray> parts = figures.split(' ');
    bool ok[3] = {};
    if (parts.size() != (magic == Magic ? 6 : 4) || parts[3].size() != 64)
        return false;
    copy.device = dev_t(parts[0].toULongLong(&ok[0]));
    copy.inode = ino_t(parts[1].toULongLong(&ok[1]));
    copy.newSize = parts[2].toLongLong(&ok[2]);
    copy.newHash = parts[3];
    if (magic == Magic) {
        copy.identity.birth = parts[4] == "-" ? QByteArray() : parts[4];
        copy.identity.generation = parts[5] == "-" ? QByteArray() : parts[5];
    }
    copy.path = QByteArray::fromPercentEncoding(path);
    copy.old = bytes.mid(at);
    return ok[0] && ok[1] && ok[2] && !copy.path.isEmpty();
}

// Each part the copy recorded is the file's now; a part the file no longer gives is not.
bool sameFile(const Identity &recorded, const Identity &now)
{
    return (recorded.birth.isEmpty() || recorded.birth == now.birth) &&
           (recorded.generation.isEmpty() || recorded.generation == now.generation);
}

// The copy at name, read without trusting what stands there: a link, a FIFO, a folder, a
// giant or anything the user could not have written privately is no copy (stale).
bool readCopy(const QByteArray &name, Copy &copy, bool &stale)
{
    QByteArray bytes;
    struct stat st;
    const SafeFile::ReadStatus status = SafeFile::readPrivate(name, MaxCopyBytes, bytes, st);
    stale = status != SafeFile::ReadStatus::Failed;
    return status == SafeFile::ReadStatus::Ok && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0600 &&
           decode(bytes, copy);
}

bool rewrite(int fd, const QByteArray &content)
{
    return ::lseek(fd, 0, SEEK_SET) == 0 && ::ftruncate(fd, 0) == 0 && writeAll(fd, content) &&
           ::fsync(fd) == 0;
}

} // namespace

QByteArray folder()
{
    return QFile::encodeName(UserAppDir() + QStringLiteral("rewrites/"));
}

// Named after the file's identity, so that each of its names finds the same copy.
QByteArray copyName(const struct stat &st)
{
    return folder() + QByteArray::number(quint64(st.st_dev), 16) + '-' + QByteArray::number(quint64(st.st_ino), 16) +
           ".old";
}

Identity identityOf(int fd)
{
    Identity identity;
    struct statx sx;
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
        identity.birth =
            QByteArray::number(qint64(sx.stx_btime.tv_sec)) + '.' + QByteArray::number(sx.stx_btime.tv_nsec);
    long generation = 0; // the kernel stores an int here, whatever the header says
    if (::ioctl(fd, FS_IOC_GETVERSION, &generation) == 0)
        identity.generation = QByteArray::number(quint32(generation));
    return identity;
}

QByteArray copyContents(const struct stat &st, const Identity &identity, const QByteArray &target,
                        const QByteArray &newBytes, const QByteArray &oldBytes)
{
    const auto part = [](const QByteArray &value) { return value.isEmpty() ? QByteArray("-") : value; };
    QByteArray copy;
    copy.reserve(oldBytes.size() + target.size() * 3 + 200);
    copy += Magic + '\n';
    copy += QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino)) + ' ' +
            QByteArray::number(newBytes.size()) + ' ' + hashOf(newBytes) + ' ' + part(identity.birth) + ' ' +
            part(identity.generation) + '\n';
    copy += target.toPercentEncoding() + '\n';
    copy += oldBytes;
    return copy;
}

Settled settle(const QByteArray &path, const struct stat &st)
{
    const QByteArray name = copyName(st);
    struct stat copyState;
    if (::lstat(name.constData(), &copyState) != 0)
        return Settled::Nothing;
    Copy copy;
    bool stale = false;
    if (!readCopy(name, copy, stale))
        return stale ? Settled::Stale : Settled::Failed;
    if (copy.device != st.st_dev || copy.inode != st.st_ino)
        return Settled::Stale;
    // A copy follows its file under any name, known by what an inode number freed and given
    // to another file cannot share; without that, only while the name it records leads there.
    const bool byIdentity = copy.identity.known();
    Fd fd(byIdentity ? ::open(path.constData(), O_RDWR | O_CLOEXEC)
                     : ::open(copy.path.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        return errno == ENOENT && !byIdentity ? Settled::Stale : Settled::Failed;
    struct stat now;
    if (::fstat(fd.get(), &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino ||
        (byIdentity && !sameFile(copy.identity, identityOf(fd.get()))))
        return Settled::Stale;
    QByteArray current;
    if (!readWhole(fd.get(), current))
        return Settled::Failed;
    const bool whole = current.size() == copy.newSize && hashOf(current) == copy.newHash;
    const bool restore = !whole && current != copy.old;
    if (restore && !rewrite(fd.get(), copy.old))
        return Settled::Failed; // the copy stays for the next attempt
    ::unlink(name.constData());
    return restore ? Settled::Restored : Settled::Finished;
}

namespace {

// The file is fine; the folder that must hold its old bytes meanwhile is not.
void noteNoRoomForCopy(int cause)
{
    SafeFile::setFailureCause(QStringLiteral("a file with several names is rewritten only behind a copy of its "
                                             "old bytes, and none could be kept in \"%1\" (%2)")
                                  .arg(QFile::decodeName(folder()), QString::fromLocal8Bit(std::strerror(cause))));
}

} // namespace

bool write(const QByteArray &target, const QByteArray &bytes, struct stat &st)
{
    Fd fd(::open(target.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    struct stat before;
    if (fd.get() < 0 || ::fstat(fd.get(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    const QByteArray name = copyName(before);
    switch (settle(target, before)) {
    case Settled::Failed:
        return false; // an earlier rewrite could not be finished: its copy must not be lost
    case Settled::Stale:
        // Not this file's, as far as can be told; kept under another name all the same.
        if (::rename(name.constData(), name + '.' + QByteArray::number(qint64(::time(nullptr))) + ".stale") != 0)
            return false;
        break;
    default:
        break;
    }
    // A file larger than a copy may be is not cut: its copy would not be trusted back.
    QByteArray previous;
    try {
        if (!readAll(fd.get(), MaxOldBytes, previous) || previous.size() > MaxOldBytes)
            return false;
        if (!MakePrivateFolder(QFile::decodeName(folder())) ||
            !SafeFile::replacePrivate(name, copyContents(before, identityOf(fd.get()), target, bytes, previous))) {
            noteNoRoomForCopy(errno);
            return false;
        }
    } catch (const std::bad_alloc &) {
        return false; // no room for the copy
    }
    if (!rewrite(fd.get(), bytes) || ::fstat(fd.get(), &st) != 0) {
        if (rewrite(fd.get(), previous))
            ::unlink(name.constData());
        return false;
    }
    // Should this removal not last past a power cut, the next read finds the new bytes whole.
    ::unlink(name.constData());
    return true;
}

} // namespace InPlaceRewrite
