#include "InPlaceRewrite.h"

#include "GenUtils.h"
#include "PosixFile.h"
#include "SafeFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QList>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace InPlaceRewrite {

using namespace PosixFile;

namespace {

// A copy: this first line, then "<device> <inode> <new size> <new SHA-256>", then the
// percent-encoded path the file was written under, each ending in "\n"; then the old bytes.
const QByteArray Magic = "pelmora-po rewrite 1";

struct Copy
{
    dev_t device = 0;
    ino_t inode = 0;
    qint64 newSize = -1;
    QByteArray newHash;
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
    if (!line(magic) || magic != Magic || !line(figures) || !line(path))
        return false;
    const QList<QByteArray> parts = figures.split(' ');
    bool ok[3] = {};
    if (parts.size() != 4 || parts[3].size() != 64)
        return false;
    copy.device = dev_t(parts[0].toULongLong(&ok[0]));
    copy.inode = ino_t(parts[1].toULongLong(&ok[1]));
    copy.newSize = parts[2].toLongLong(&ok[2]);
    copy.newHash = parts[3];
    copy.path = QByteArray::fromPercentEncoding(path);
    copy.old = bytes.mid(at);
    return ok[0] && ok[1] && ok[2] && !copy.path.isEmpty();
}

bool rewrite(int fd, const QByteArray &content)
{
    return ::lseek(fd, 0, SEEK_SET) == 0 && ::ftruncate(fd, 0) == 0 && writeAll(fd, content) &&
           ::fsync(fd) == 0;
}

// The copies' folder, private, and durable up to the data folder before the first copy
// relies on it.
bool makeFolder()
{
    const QByteArray dir = folder();
    if (!MakePrivateFolder(QFile::decodeName(dir)))
        return false;
    static bool synced = false;
    if (!synced) {
        const QByteArray parent = directoryOf(dir.chopped(1));
        synced = syncFolder(dir) && syncFolder(parent) && syncFolder(directoryOf(parent));
    }
    return synced;
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

QByteArray copyContents(const struct stat &st, const QByteArray &target, const QByteArray &newBytes,
                        const QByteArray &oldBytes)
{
    QByteArray copy;
    copy.reserve(oldBytes.size() + target.size() * 3 + 160);
    copy += Magic + '\n';
    copy += QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino)) + ' ' +
            QByteArray::number(newBytes.size()) + ' ' + hashOf(newBytes) + '\n';
    copy += target.toPercentEncoding() + '\n';
    copy += oldBytes;
    return copy;
}

Settled settle(const struct stat &st)
{
    const QByteArray name = copyName(st);
    struct stat copyState;
    if (::lstat(name.constData(), &copyState) != 0)
        return Settled::Nothing;
    Copy copy;
    {
        Fd in(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        QByteArray bytes;
        if (in.get() < 0 || !readWhole(in.get(), bytes))
            return Settled::Failed;
        if (!decode(bytes, copy))
            return Settled::Stale;
    }
    // The copy belongs to this file only while the name it was written under still leads
    // to it: an inode number freed and given to another file must not receive its bytes.
    if (copy.device != st.st_dev || copy.inode != st.st_ino)
        return Settled::Stale;
    Fd fd(::open(copy.path.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        return errno == ENOENT ? Settled::Stale : Settled::Failed;
    struct stat now;
    if (::fstat(fd.get(), &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino)
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

bool write(const QByteArray &target, const QByteArray &bytes, struct stat &st)
{
    Fd fd(::open(target.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    struct stat before;
    if (fd.get() < 0 || ::fstat(fd.get(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    const QByteArray name = copyName(before);
    switch (settle(before)) {
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
    QByteArray previous;
    struct stat written;
    try {
        if (!readWhole(fd.get(), previous) || !makeFolder() ||
            !SafeFile::replace(name, copyContents(before, target, bytes, previous), written, 0600))
            return false;
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
