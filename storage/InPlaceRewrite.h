#pragma once

#include <QByteArray>
#include <sys/stat.h>

// Rewriting a file where it stands (a file with several names, or a writable file in a
// folder the user may not write) without an instant at which a kill or a power cut leaves
// less than its old or its new bytes: a durable copy of the old bytes goes into the user's
// data folder before the file is cut, and the next read or write of the file either keeps
// the new bytes, when they all arrived, or puts the old ones back.
namespace InPlaceRewrite {

// Where the copies are kept ("rewrites/" in the user's data folder).
QByteArray folder();

// The largest old bytes a copy keeps: the largest sheet a read accepts. A larger file is
// not rewritten in place, and a larger file in the copies' folder is no copy of ours.
constexpr qint64 MaxOldBytes = 16 * 1024 * 1024;

// What tells a file from a later one given its freed inode number: its birth time and its
// inode generation, each empty where the file system does not give it.
struct Identity
{
    QByteArray birth, generation;
    bool known() const { return !birth.isEmpty() || !generation.isEmpty(); }
};
Identity identityOf(int fd);

// The copy kept for the file st and identity describe while target, its name, goes from
// oldBytes to newBytes, and where it is kept.
QByteArray copyName(const struct stat &st);
QByteArray copyContents(const struct stat &st, const Identity &identity, const QByteArray &target,
                        const QByteArray &newBytes, const QByteArray &oldBytes);

// Gives the regular file target (not a link) the contents bytes. False, with the old bytes
// left or put back, when it cannot; also when no copy of the old bytes can be made first.
bool write(const QByteArray &target, const QByteArray &bytes, struct stat &st);

enum class Settled {
    Nothing,  // no copy: nothing was interrupted
    Finished, // the file held the new or the old bytes whole; the copy is gone
    Restored, // the file was cut; its old bytes are back, the copy is gone
    Stale,    // no copy of this file: unreadable, not the user's private file, or another file's
    Failed,   // the old bytes could not be put back; the copy stays
};

// Finishes an interrupted rewrite of the file st describes, just opened under path: when its
// copy is still there, the file keeps the new bytes if they are all there and gets its old
// bytes back otherwise, and the copy goes. The copy is found by the file's device and inode
// and applied only when the birth time and generation it records are the file's, so that
// it follows the file through a rename; a copy that records neither (made on a file system
// that gives neither, or by an older version) only while the name it records leads to the
// file. One failed lstat when there is nothing to do.
Settled settle(const QByteArray &path, const struct stat &st);

} // namespace InPlaceRewrite
