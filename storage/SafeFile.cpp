#include "SafeFile.h"

#include "InPlaceRewrite.h"
#include "PosixFile.h"

#include <QHashFunctions>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <signal.h>
#include <sys/random.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace SafeFile {

using namespace PosixFile;

namespace {

// The file a write replaces, found by following links one by one under the kernel's rule
// for shared folders (a link in a world-writable sticky folder is followed only when this
// user or the folder's owner owns it), so that the kernel's protection also covers saves.
// False for a refused link, a loop or a folder that cannot be looked at.
bool resolveTarget(const QByteArray &path, QByteArray &target, struct stat &st, bool &exists)
{
    QByteArray current = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (::lstat(current.constData(), &st) != 0) {
            exists = false;
            target = current;
            return errno == ENOENT;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            target = current;
            return true;
        }
        const QByteArray dir = directoryOf(current);
        struct stat folder;
        if (::stat(dir.constData(), &folder) != 0)
            return false;
        if ((folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH) && st.st_uid != ::geteuid() &&
            st.st_uid != folder.st_uid)
            return false;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(current.constData(), link, sizeof link);
        if (n <= 0 || size_t(n) >= sizeof link)
            return false;
        current = link[0] == '/' ? QByteArray(link, n) : dir + '/' + QByteArray(link, n);
    }
    return false; // a loop, as the kernel counts one
}

// Temporary files of writers that died mid-write ("." name "." pid "-" random ".tmp") are
// removed the first time this process writes the same file; only this user's own, since in
// a shared folder anyone may name a file like that.
void removeStaleTemporaries(const QByteArray &dir, const QByteArray &base)
{
    static std::unordered_set<QByteArray> cleaned;
    if (!cleaned.insert(dir + '/' + base).second)
        return;
    DIR *d = ::opendir(dir.constData());
    if (!d)
        return;
    const QByteArray prefix = '.' + base + '.';
    while (const dirent *entry = ::readdir(d)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(".tmp"))
            continue;
        QByteArray pidText = name.mid(prefix.size(), name.size() - prefix.size() - 4);
        pidText.truncate(pidText.indexOf('-') < 0 ? pidText.size() : pidText.indexOf('-'));
        bool ok = false;
        const pid_t pid = pid_t(pidText.toInt(&ok));
        struct stat st;
        if (ok && pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH &&
            ::fstatat(::dirfd(d), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlinkat(::dirfd(d), name.constData(), 0);
    }
    ::closedir(d);
}

QByteArray randomPart()
{
    unsigned char bytes[8] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
        // No random source: the clock still keeps the name from being known in advance.
        struct timespec now;
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const quint64 mix = quint64(now.tv_nsec) * 0x9E3779B97F4A7C15ull ^ quint64(now.tv_sec);
        std::memcpy(bytes, &mix, sizeof bytes);
    }
    return QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes).toHex();
}

// The mode a new file gets from the umask, read without changing it where Linux says it.
mode_t newFileMode()
{
    static const mode_t mode = [] {
        Fd status(::open("/proc/self/status", O_RDONLY | O_CLOEXEC));
        QByteArray text;
        if (status.get() >= 0 && readAll(status.get(), 65536, text)) {
            const qsizetype at = text.indexOf("\nUmask:");
            if (at >= 0) {
                bool ok = false;
                const uint mask = text.mid(at + 7, text.indexOf('\n', at + 1) - at - 7).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(0666 & ~mask);
            }
        }
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return mode_t(0666 & ~mask);
    }();
    return mode;
}

void copyExtendedAttributes(const QByteArray &from, int to)
{
    const ssize_t size = ::llistxattr(from.constData(), nullptr, 0);
    if (size <= 0)
        return;
    QByteArray names(size, '\0');
    const ssize_t got = ::llistxattr(from.constData(), names.data(), size_t(names.size()));
    for (qsizetype at = 0; got > 0 && at < got;) {
        const char *name = names.constData() + at;
        at += qsizetype(std::strlen(name)) + 1;
        const ssize_t length = ::lgetxattr(from.constData(), name, nullptr, 0);
        if (length < 0)
            continue;
        QByteArray value(length, '\0');
        if (::lgetxattr(from.constData(), name, value.data(), size_t(value.size())) == length)
            (void)::fsetxattr(to, name, value.constData(), size_t(length), 0); // as far as allowed
    }
}

// A private temporary file (mode 0600, a name no one can guess, never through a link) in
// target's folder, for a rename over target; -1 with errno set when none can be made.
int createTemporary(const QByteArray &target, QByteArray &temp)
{
    const QByteArray dir = directoryOf(target);
    const QByteArray base = target.mid(target.lastIndexOf('/') + 1);
    removeStaleTemporaries(dir, base);
    static const QByteArray pid = QByteArray::number(::getpid());
    int raw = -1;
    for (int attempt = 0; raw < 0 && attempt < 4; ++attempt) {
        temp = dir + "/." + base + '.' + pid + '-' + randomPart() + ".tmp";
        raw = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (raw < 0 && errno != EEXIST)
            break;
    }
    return raw;
}

// Fills the temporary file, gives it mode, makes it durable, renames it over target and
// makes the folder durable in turn; the temporary file goes when any step fails.
bool commitTemporary(Fd &fd, const QByteArray &temp, const QByteArray &target, const QByteArray &bytes,
                     mode_t mode, struct stat &st)
{
    const bool ok = writeAll(fd.get(), bytes) && ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0 &&
                    ::fstat(fd.get(), &st) == 0 && ::close(fd.release()) == 0 &&
                    ::rename(temp.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    return syncFolder(directoryOf(target));
}

// The part of a read after the open: only a regular file, refused by its size before any
// memory is taken for it. A rewrite of the file under path, if given, is settled first.
ReadStatus readOpened(int fd, const QByteArray *path, qint64 maxBytes, QByteArray &bytes, struct stat &st)
{
    if (::fstat(fd, &st) != 0)
        return ReadStatus::Failed;
    if (!S_ISREG(st.st_mode))
        return ReadStatus::Missing;
    if (path && InPlaceRewrite::settle(*path, st) == InPlaceRewrite::Settled::Restored &&
        ::fstat(fd, &st) != 0)
        return ReadStatus::Failed;
    if (st.st_size > maxBytes)
        return ReadStatus::TooLarge;
    try {
        bytes.reserve(qsizetype(st.st_size));
        if (!readAll(fd, maxBytes, bytes))
            return ReadStatus::Failed;
    } catch (const std::bad_alloc &) {
        bytes = QByteArray();
        return ReadStatus::Failed;
    }
    return bytes.size() > maxBytes ? ReadStatus::TooLarge : ReadStatus::Ok;
}

} // namespace

ReadStatus read(const QByteArray &path, qint64 maxBytes, QByteArray &bytes, struct stat &st)
{
    Fd fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    return readOpened(fd.get(), &path, maxBytes, bytes, st);
}

ReadStatus readPrivate(const QByteArray &path, qint64 maxBytes, QByteArray &bytes, struct stat &st)
{
    Fd fd(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) // ELOOP: a link at the name
        return errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? ReadStatus::Missing
                                                                     : ReadStatus::Failed;
    return readOpened(fd.get(), nullptr, maxBytes, bytes, st);
}

namespace {
QString lastFailureCause;
} // namespace

QString failureCause()
{
    return lastFailureCause;
}

void setFailureCause(const QString &cause)
{
    lastFailureCause = cause;
}

bool replace(const QByteArray &path, const QByteArray &bytes, struct stat &st, mode_t newMode)
{
    lastFailureCause.clear();
    struct stat old;
    bool exists = false;
    QByteArray target;
    if (path.isEmpty() || !resolveTarget(path, target, old, exists))
        return false;
    // A file without write permission is read-only for everyone, root included.
    if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 ||
                   ::access(target.constData(), W_OK) != 0))
        return false;
    if (exists && old.st_nlink > 1)
        return InPlaceRewrite::write(target, bytes, st); // every name of the file sees the save

    QByteArray temp;
    const int raw = createTemporary(target, temp);
    if (raw < 0 && exists && (errno == EACCES || errno == EPERM))
        return InPlaceRewrite::write(target, bytes, st); // a writable file in a folder we may not write
    if (raw < 0)
        return false;
    Fd fd(raw);

    // The old file's owner and group stay where the process may give them (root may; a
    // user may keep a group of their own); then its mode, which a change of owner can clear.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0 && ::fchown(fd.get(), uid_t(-1), old.st_gid) != 0) {
            // Neither: the new file is the user's own, as a file the user makes is.
        }
    }
    if (exists)
        copyExtendedAttributes(target, fd.get());
    return commitTemporary(fd, temp, target, bytes,
                           exists ? old.st_mode & 07777 : newMode ? newMode : newFileMode(), st);
}

bool replacePrivate(const QByteArray &path, const QByteArray &bytes, mode_t mode)
{
    if (path.isEmpty())
        return false;
    // The rename takes the name itself: a link there is replaced, and a folder refuses it.
    QByteArray temp;
    Fd fd(createTemporary(path, temp));
    struct stat st;
    return fd.get() >= 0 && commitTemporary(fd, temp, path, bytes, mode, st);
}

bool flush(const QByteArray &path)
{
    struct stat st;
    bool exists = false;
    QByteArray target;
    if (!resolveTarget(path, target, st, exists) || !exists)
        return true; // nothing written yet: nothing to make durable
    Fd file(::open(target.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0)
        return true;
    return ::fsync(file.get()) == 0 && syncFolder(directoryOf(target));
}

} // namespace SafeFile
