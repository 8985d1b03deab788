#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class IniDocument;

// What a sheet file does not hold yet (texts that reach it only with a full save: the
// line-item cells, a new logo path), kept beside it so that a kill, a power cut or a close
// without saving loses none of it. Journals live in the user's data folder (never in the
// sheet file nor in the program's folder), private to the user and replaced atomically and
// durably, as sheet files are.
//
// Like an editor's swap file, a journal belongs to one running copy of the program: each
// copy writes only its own ("<hash of the sheet's path>-<owner>.journal") and removes only
// its own, so two copies on one sheet never share or delete each other's work. A copy
// announces itself with an owner file ("<owner>.owner": process, start, the sheet it holds)
// that it keeps locked while it runs; a journal whose owner holds no lock is what a crash
// left, and may be offered. A journal also records the state of its sheet file when it was
// written, so that one older than its file says so instead of silently undoing it.
//
// A journal is an INI file: a "Recovery" section (format, owner, sheet, time of the last
// change, the sheet file's size, modification time and SHA-256), then one section per text
// in the sheet file's own sections ("Table00", "Image1", ...), key "TextValue", in
// Windows-1252 and read back under the sheet files' rules, so that it holds exactly what a
// full save would have written.
namespace RecoveryJournal {

// A sheet file as a journal was made against it.
struct FileState
{
    qint64 size = -1;   // -1: there was no such file
    QDateTime modified; // UTC
    QByteArray sha256;  // hex, of the whole file
    // The file at sheetPath now.
    static FileState of(const QString &sheetPath);
    bool sameBytes(const FileState &other) const { return size == other.size && sha256 == other.sha256; }
};

struct Contents
{
    QStringList texts;  // in the order of the sections asked for
    QDateTime changed;  // the last change, in UTC
    FileState file;     // the sheet file when the journal was written
};

// A journal found in the folder.
struct Found
{
    QString file;      // its full path
    QString owner;     // the running copy that wrote it
    bool ownerRunning; // that copy still runs (this one included)
    Contents contents;
};

// Another running copy of the program.
struct Holder
{
    qint64 pid = 0;
    QDateTime since; // UTC
};

// The user's journal folder: "recovery/" in the program's folder of the XDG data home.
QString folder();

// This running copy's owner name, made (and its owner file locked) on first use in folder.
QString ownOwner(const QString &folder = RecoveryJournal::folder());
// This copy ends: its owner file goes (its journals, if any are left, are then a crash's).
void release(const QString &folder = RecoveryJournal::folder());
// Records in this copy's owner file which sheet it holds now, for other copies to see.
void holdSheet(const QString &sheetPath, const QString &folder = RecoveryJournal::folder());
// The other running copies that hold sheetPath, as their owner files say. The owner files
// of copies that no longer run go.
std::vector<Holder> holdersOf(const QString &sheetPath, const QString &folder = RecoveryJournal::folder());

// The journal that owner keeps for the sheet file at sheetPath (an absolute path): named
// from hashes alone, so that any sheet name the file system takes fits.
QString fileFor(const QString &sheetPath, const QString &owner = ownOwner(),
                const QString &folder = RecoveryJournal::folder());

QByteArray encode(const QString &sheetPath, const QString &owner, const QStringList &sections,
                  const Contents &contents);
// The texts of sections, or nothing for a journal that is damaged, not a journal, or
// another sheet's.
std::optional<Contents> decode(const QByteArray &bytes, const QString &sheetPath,
                               const QStringList &sections, QString *owner = nullptr);
std::optional<Contents> decode(const IniDocument &doc, const QString &sheetPath,
                               const QStringList &sections, QString *owner = nullptr);

// Writes this copy's journal of sheetPath, creating a private folder and file. On failure,
// false with errno saying why.
bool write(const QString &sheetPath, const QStringList &sections, const Contents &contents,
           const QString &folder = RecoveryJournal::folder());
// Every journal of sheetPath that can be read, of any owner, the newest change first.
std::vector<Found> find(const QString &sheetPath, const QStringList &sections,
                        const QString &folder = RecoveryJournal::folder());
// The sheets other than except that journals of copies no longer running hold work for,
// each with its newest such journal's last change, the newest first.
std::vector<std::pair<QString, QDateTime>> leftBehind(const QString &except,
                                                      const QString &folder = RecoveryJournal::folder());
// Removes this copy's journal of sheetPath, durably; true when none is left.
bool remove(const QString &sheetPath, const QString &folder = RecoveryJournal::folder());
// Removes the journal file, durably; true when it is gone.
bool removeFile(const QString &journalFile);

} // namespace RecoveryJournal
