#include "IniFileCache.h"

#include "AppError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace {

// Thrown inside this file only; modify() turns it into the user-facing message.
struct WriteFailed
{
};

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

bool readAll(int fd, qint64 sizeHint, QByteArray &out)
{
    out.clear();
    out.reserve(sizeHint > 0 ? sizeHint : 0);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buffer, n);
    }
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// The file a write replaces, and its present state: a link is written through to the file
// it names, so that replacing the file does not replace the link.
QByteArray writeTarget(const QByteArray &path, struct stat &st, bool &exists)
{
    exists = ::lstat(path.constData(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.constData(), resolved)) {
            exists = ::stat(resolved, &st) == 0;
            return QByteArray(resolved);
        }
    }
    return path;
}

// Temporary files of writers that died mid-write ("." name "." pid ".tmp") are removed the
// first time this process writes the same file.
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
        bool ok = false;
        const QByteArray pidText = name.mid(prefix.size(), name.size() - prefix.size() - 4);
        const pid_t pid = pid_t(pidText.toInt(&ok));
        if (ok && pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(d), name.constData(), 0);
    }
    ::closedir(d);
}

QByteArray directoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.first(slash);
}

} // namespace

IniFileCache &IniFileCache::instance()
{
    static IniFileCache cache;
    return cache;
}

IniFileCache::Stamp IniFileCache::stampOf(const struct stat &st)
{
    return Stamp{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                 qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)};
}

bool IniFileCache::statFile(const QByteArray &path, Stamp &stamp)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    stamp = stampOf(st);
    return true;
}

const IniDocument *IniFileCache::document(const QByteArray &path)
{
    if (m_dirty.contains(path))
        return &m_entries[path].doc; // changed in the open batch: newer than the disk
    Stamp now;
    if (!statFile(path, now)) {
        m_entries.erase(path);
        return nullptr;
    }
    const auto it = m_entries.find(path);
    if (it != m_entries.end() && it->second.stamp == now)
        return &it->second.doc;

    Fd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    QByteArray bytes;
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        !readAll(fd.get(), st.st_size, bytes)) {
        m_entries.erase(path); // unreadable reads as missing
        return nullptr;
    }
    if (m_entries.size() > 64 && m_dirty.empty())
        m_entries.clear(); // a long session may touch many files; keep the cache small
    Entry &entry = m_entries[path];
    entry.stamp = stampOf(st);
    entry.doc = IniDocument::parse(bytes);
    ++m_parses;
    return &entry.doc;
}

IniFileCache::Stamp IniFileCache::writeAtomically(const QByteArray &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        throw WriteFailed{};
    struct stat old;
    bool exists = false;
    const QByteArray target = writeTarget(path, old, exists);
    // A file without write permission is read-only for everyone, root included.
    if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 ||
                   ::access(target.constData(), W_OK) != 0))
        throw WriteFailed{};

    const QByteArray dir = directoryOf(target);
    const QByteArray base = target.mid(target.lastIndexOf('/') + 1);
    removeStaleTemporaries(dir, base);
    static const QByteArray pid = QByteArray::number(::getpid());
    const QByteArray temp = dir + "/." + base + '.' + pid + ".tmp";
    int raw = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (raw < 0 && errno == EEXIST) { // left behind by a crashed run with our pid
        ::unlink(temp.constData());
        raw = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (raw < 0 && exists && (errno == EACCES || errno == EPERM))
        return writeInPlace(target, bytes); // a writable file in a folder we may not write
    if (raw < 0)
        throw WriteFailed{};
    Fd fd(raw);

    // The old file's owner and group stay where the process may give them (root may; a
    // user may keep a group of their own); then its mode, which a change of owner can clear.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0)
            (void)::fchown(fd.get(), uid_t(-1), old.st_gid);
    }
    struct stat st;
    const bool ok = (!exists || ::fchmod(fd.get(), old.st_mode & 07777) == 0) &&
                    writeAll(fd.get(), bytes) && ::fstat(fd.get(), &st) == 0 &&
                    ::close(fd.release()) == 0 && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        throw WriteFailed{};
    }
    return stampOf(st);
}

// Without a temporary file beside it the file is rewritten where it is: its old bytes are
// kept in memory first and put back when the new ones cannot all be written.
IniFileCache::Stamp IniFileCache::writeInPlace(const QByteArray &target, const QByteArray &bytes)
{
    Fd fd(::open(target.constData(), O_RDWR | O_CLOEXEC));
    QByteArray previous;
    if (fd.get() < 0 || !readAll(fd.get(), 0, previous))
        throw WriteFailed{};
    const auto replaceWith = [&fd](const QByteArray &content) {
        return ::lseek(fd.get(), 0, SEEK_SET) == 0 && ::ftruncate(fd.get(), 0) == 0 &&
               writeAll(fd.get(), content) && ::fsync(fd.get()) == 0;
    };
    struct stat st;
    if (!replaceWith(bytes) || ::fstat(fd.get(), &st) != 0) {
        replaceWith(previous);
        throw WriteFailed{};
    }
    return stampOf(st);
}

IniFileCache::Entry &IniFileCache::entryFor(const QByteArray &path)
{
    if (!m_dirty.contains(path) && !document(path)) {
        Entry &fresh = m_entries[path];
        fresh = Entry{}; // size -1: not on disk yet
        return fresh;
    }
    return m_entries[path];
}

void IniFileCache::write(const QByteArray &path, const QString &displayName, Entry &entry)
{
    try {
        entry.stamp = writeAtomically(path, entry.doc.serialize());
    } catch (const WriteFailed &) {
        m_entries.erase(path); // the change never reached the file: forget it
        throw AppError(QStringLiteral("Unable to write to %1").arg(displayName));
    }
}

void IniFileCache::modify(const QByteArray &path, const QString &displayName,
                          const std::function<bool(IniDocument &)> &change)
{
    Entry &entry = entryFor(path);
    const bool onDisk = entry.stamp.size >= 0;
    if (!change(entry.doc) && (onDisk || m_dirty.contains(path)))
        return;
    if (m_batchDepth > 0)
        m_dirty.emplace(path, displayName);
    else
        write(path, displayName, entry);
}

void IniFileCache::beginBatch()
{
    ++m_batchDepth;
}

void IniFileCache::endBatch(bool commit)
{
    if (--m_batchDepth > 0)
        return;
    const auto dirty = std::exchange(m_dirty, {});
    std::optional<AppError> failure;
    for (const auto &[path, displayName] : dirty) {
        if (!commit) {
            m_entries.erase(path);
            continue;
        }
        try {
            write(path, displayName, m_entries[path]);
        } catch (const AppError &e) {
            if (!failure)
                failure = e;
        }
    }
    if (failure)
        throw *failure;
}

void IniFileCache::flush(const QByteArray &path, const QString &displayName)
{
    struct stat st;
    bool exists = false;
    const QByteArray target = writeTarget(path, st, exists);
    Fd file(::open(target.constData(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return; // nothing written yet: nothing to make durable
    Fd dir(::open(directoryOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (::fsync(file.get()) != 0 || (dir.get() >= 0 && ::fsync(dir.get()) != 0))
        throw AppError(QStringLiteral("Unable to write to %1").arg(displayName));
}
