#pragma once

#include <QByteArray>
#include <utility>

// Small POSIX file helpers shared by the safe reading and writing of whole files.
namespace PosixFile {

// Closes the descriptor it owns.
class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd();
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Reads to the end, or up to limit + 1 bytes so that the caller sees a file was longer.
bool readAll(int fd, qint64 limit, QByteArray &out);
// Reads from where the descriptor stands to the end; false on an error or when memory runs out.
bool readWhole(int fd, QByteArray &out);
bool writeAll(int fd, const QByteArray &bytes);

// The folder part of a path ("." when there is none).
QByteArray directoryOf(const QByteArray &path);

// Makes a folder's entries durable; true on file systems that cannot sync a folder.
bool syncFolder(const QByteArray &dir);

} // namespace PosixFile
