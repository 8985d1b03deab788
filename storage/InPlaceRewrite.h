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

// The copy kept for the file st describes while target, its name, goes from oldBytes to
// newBytes, and where it is kept.
QByteArray copyName(const struct stat &st);
QByteArray copyContents(const struct stat &st, const QByteArray &target, const QByteArray &newBytes,
                        const QByteArray &oldBytes);

// Gives the regular file target (not a link) the contents bytes. False, with the old bytes
// left or put back, when it cannot; also when no copy of the old bytes can be made first.
bool write(const QByteArray &target, const QByteArray &bytes, struct stat &st);

enum class Settled {
    Nothing,  // no copy: nothing was interrupted
    Finished, // the file held the new or the old bytes whole; the copy is gone
    Restored, // the file was cut; its old bytes are back, the copy is gone
    Stale,    // a copy that cannot be read, or whose file name now leads elsewhere
    Failed,   // the old bytes could not be put back; the copy stays
};

// Finishes an interrupted rewrite of the file st describes: when its copy is still there,
// the file keeps the new bytes if they are all there and gets its old bytes back otherwise,
// and the copy goes. One failed lstat when there is nothing to do.
Settled settle(const struct stat &st);

} // namespace InPlaceRewrite
