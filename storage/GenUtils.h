#pragma once

#include <QString>
#include <QStringView>

// Path and text helpers shared by the whole program.

// The full path of the running program file.
QString ProgramFilePath();

// The program's folder, with its trailing separator, where the configuration and the
// start-up sheets live; for an installed copy (a folder under /usr, or one its user cannot
// write), the user's own "pelmora-po" folder in the XDG data home instead.
QString AppDir();
QString ChooseAppDir(const QString &programDir, bool writable);
QString UserAppDir();

// Makes the folder path (its parents as needed, as mkpath would) with mode 0700 when missing,
// each new folder made durable in its parent; an existing one of the user's own loses any
// access of others. False unless it is then a folder of the user's own: a link, another
// user's folder or anything else at path is refused as it is.
bool MakePrivateFolder(const QString &path);

// AppDir followed by the file-name part of name; any folder in name is dropped.
QString AppFile(QStringView name);

// AppFile(first) if it is a file, else AppFile(second) if it is, else AppFile(third) whether
// it exists or not. When the user's folder stands in for a read-only program folder, a first
// or second file found only in the program folder is copied into the user's folder and used
// there.
QString FirstExistingFile(QStringView first, QStringView second, QStringView third);
QString FirstExistingFileIn(const QString &appDir, const QString &programDir, QStringView first,
                            QStringView second, QStringView third);

// Replaces the first occurrence of search (matching letter case) and repeats on the result
// while search still occurs, so removing "ab" from "aabb" gives "". A replacement that
// itself holds search would repeat for ever; then every occurrence is replaced once, and
// a run that keeps rebuilding search stops after source.size() + 1 replacements.
QString ReplaceAll(const QString &source, const QString &search, const QString &replacement);

// A file name made from a text such as a PO number, whole: each character a file name cannot
// hold ("/", NUL) and each leading dot (no hidden file) becomes "-"; an empty text gives
// "Purchase Order". One longer than MaxFileNameStemBytes (in UTF-8) is cut to fit.
inline constexpr qsizetype MaxFileNameStemBytes = 240;
QString FileNameFromText(QStringView text);

// The folder part of a path, with its trailing separator ("" when there is none), and the
// file-name part.
QString ExtractFilePath(QStringView path);
QString ExtractFileName(QStringView path);
