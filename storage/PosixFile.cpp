#include "PosixFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <new>
#include <unistd.h>

namespace PosixFile {

Fd::~Fd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool readAll(int fd, qint64 limit, QByteArray &out)
{
    out.clear();
    char buffer[65536];
    while (out.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, size_t(std::min<qint64>(sizeof buffer, limit + 1 - out.size())));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buffer, n);
    }
    return true;
}

bool readWhole(int fd, QByteArray &out)
{
    try {
        return readAll(fd, std::numeric_limits<qint64>::max() - 1, out);
    } catch (const std::bad_alloc &) {
        out = QByteArray();
        return false;
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

QByteArray directoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.first(slash);
}

bool syncFolder(const QByteArray &dir)
{
    Fd folder(::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.get() < 0 || ::fsync(folder.get()) == 0 || errno == EINVAL;
}

} // namespace PosixFile
