#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class IniDocument;

// What a sheet file does not hold yet (texts that reach it only with a full save: the
// line-item cells, a new logo path), kept beside it so that a kill, a power cut or a close
// without saving loses none of it. One journal per sheet file, named from the sheet's full
// path, in the user's data folder (never in the sheet file nor in the program's folder);
// private to the user and replaced atomically and durably, as sheet files are.
//
// A journal is an INI file: a "Recovery" section naming its sheet and the time of the last
// change, then one section per text in the sheet file's own sections ("Table00",
// "Image1", ...), key "TextValue", in Windows-1252 and read back under the sheet files'
// rules, so that it holds exactly what a full save would have written.
namespace RecoveryJournal {

struct Contents
{
    QStringList texts;  // in the order of the sections asked for
    QDateTime changed;  // the last change, in UTC
};

// The user's journal folder: "recovery/" in the program's folder of the XDG data home.
QString folder();
// The journal of the sheet file at sheetPath (an absolute path), in folder.
QString fileFor(const QString &sheetPath, const QString &folder = RecoveryJournal::folder());

QByteArray encode(const QString &sheetPath, const QStringList &sections, const Contents &contents);
// The texts of sections, or nothing for a journal that is damaged, not a journal, or
// another sheet's.
std::optional<Contents> decode(const QByteArray &bytes, const QString &sheetPath,
                               const QStringList &sections);
std::optional<Contents> decode(const IniDocument &doc, const QString &sheetPath,
                               const QStringList &sections);

// Writes the journal of sheetPath, creating a private folder and file; false when it cannot.
bool write(const QString &sheetPath, const QStringList &sections, const Contents &contents,
           const QString &folder = RecoveryJournal::folder());
std::optional<Contents> read(const QString &sheetPath, const QStringList &sections,
                             const QString &folder = RecoveryJournal::folder());
// Removes the journal of sheetPath, durably; true when none is left.
bool remove(const QString &sheetPath, const QString &folder = RecoveryJournal::folder());

} // namespace RecoveryJournal
