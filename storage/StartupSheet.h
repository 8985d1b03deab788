#pragma once

#include "TIniFile.h"

// The configuration file "varnel.ini" in the program's folder and the choice of the sheet
// opened at start.
namespace StartupSheet {

inline const QString ConfigFileName = QStringLiteral("varnel.ini");
inline const QString Section = QStringLiteral("Configuration");
inline const QString AutoLoad = QStringLiteral("AutoLoad");
inline const QString AutoLoadFile = QStringLiteral("AutoLoad File");

// With "AutoLoad" on, its "AutoLoad File" (the configuration file itself when missing or
// empty), used as it stands; otherwise the program folder's "blank.ini", else its
// "template.ini" (regular files only), else the configuration file, whether it exists or not.
QString Choose(const TIniFile &config);

// Why the order file at path (a full path) cannot be loaded: missing, not a plain file (a
// folder, a pipe, a device), unreadable or too large; empty when it can be.
QString OrderProblem(const QString &path);

} // namespace StartupSheet
