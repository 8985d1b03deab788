#pragma once

#include <QByteArray>
#include <QString>
#include <sys/stat.h>

// Reading and replacing whole files so that neither a crash, a power loss nor another user
// of the machine sees half of one, or a private one. POSIX only; no Qt file classes, since
// their temporary files are created readable before their mode can be set.
namespace SafeFile {

enum class ReadStatus { Ok, Missing, TooLarge, Failed };

// Reads a regular file of at most maxBytes (counting what is read, since stat says 0 for
// some files) into bytes, and its state into st. Missing: no such file, or no regular file;
// Failed: it exists but could not be read whole (permissions, I/O, memory). A rewrite in
// place of the file that was cut short is finished or undone first.
ReadStatus read(const QByteArray &path, qint64 maxBytes, QByteArray &bytes, struct stat &st);

// For files in the program's own private folders, where anything else found at a name was
// planted: as read, but a link is never followed and nothing can block (a FIFO, a device,
// a folder or a link read as Missing), a larger file is refused from its size before any
// memory is taken, and no rewrite is settled.
ReadStatus readPrivate(const QByteArray &path, qint64 maxBytes, QByteArray &bytes, struct stat &st);

// Gives the file at path the contents bytes, creating it when missing:
// - a link is followed only as the kernel would follow it for this user (in a world-writable
//   sticky folder only a link of the user's own or of the folder's owner), else false;
// - the new contents go to a private temporary file (mode 0600, a name no one can guess),
//   made durable with fsync, given the old file's owner, group, mode and extended
//   attributes, renamed over the old file, and the folder is made durable in turn;
// - a file with more than one name, or one in a folder where no temporary file can be
//   made, is rewritten in place, a durable copy of its old bytes kept meanwhile in the
//   user's data folder so that a kill or a power cut cannot leave less than either contents.
// Returns false and leaves the old file as it was when it cannot; st gets the new state.
// A file created anew gets newMode, or the mode the umask gives when that is 0.
bool replace(const QByteArray &path, const QByteArray &bytes, struct stat &st, mode_t newMode = 0);

// Gives the name path a new private file (mode) holding bytes, as replace does for a file
// with one name, but taking the name itself: whatever is there, a link included, is replaced,
// never written through, and a folder there makes it fail. Nothing of the old file is kept.
bool replacePrivate(const QByteArray &path, const QByteArray &bytes, mode_t mode = 0600);

// Why the last replace failed when the cause lies outside the file and its folder (the
// user's data folder, where a rewrite in place keeps the old bytes), else empty: a message
// naming the file alone would send the user looking in the wrong place.
QString failureCause();
void setFailureCause(const QString &cause);

// Makes the file and its folder entry durable; true when there is nothing to do.
bool flush(const QByteArray &path);

} // namespace SafeFile
