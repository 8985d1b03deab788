#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The desktop's list of recently used files: the XDG bookmark file "recently-used.xbel" in
// the user's data folder, which GTK and KDE read (their file dialogs' "Recent", the shell's
// recent documents) and write. Orders opened or saved are added to it as those libraries add
// a file, and the program's own dialogs offer its last orders from it, so that there is one
// list, which the user's desktop may clear.
namespace RecentFiles {

// How this program is named in the list.
inline const QString ApplicationName = QStringLiteral("Pelmora PO");
inline const QString ApplicationExec = QStringLiteral("'pelmora-po %u'");
// The type of an order file.
inline const QString OrderMimeType = QStringLiteral("application/x-pelmora-po");
// The list is read only up to this size.
inline constexpr qint64 MaxListBytes = 32 * 1024 * 1024;

// $XDG_DATA_HOME/recently-used.xbel (by default ~/.local/share/recently-used.xbel).
QString listPath();

// Records that this program used file (a full path) at when: its entry is made or brought up
// to date (this program's use counted, other programs' uses kept) and every other entry stays
// as it was, byte for byte. The list is replaced whole and atomically. False, with the list
// left as it was, when it cannot be read as a bookmark list or cannot be written.
bool add(const QString &list, const QString &file, const QString &mimeType, const QDateTime &when);

// The files this program used, the latest first, at most limit of them, only those that still
// exist as files; nothing when the list is missing or cannot be read.
QStringList used(const QString &list, int limit);

} // namespace RecentFiles
