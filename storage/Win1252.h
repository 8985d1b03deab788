#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Sheet and configuration files hold Windows-1252 bytes; this is the only place that
// converts between those bytes and the program's Unicode strings.
namespace Win1252 {

QString decode(QByteArrayView bytes);

// A character that Windows-1252 cannot hold becomes "?" (one per code point).
QByteArray encode(QStringView text);

// As encode, for a one-line value of an INI file: a line break would start new keys or
// sections of its own, so each CR and LF becomes a blank.
QByteArray encodeLine(QStringView text);

} // namespace Win1252
