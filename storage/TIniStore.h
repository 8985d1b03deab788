#pragma once

#include "IniTypes.h"
#include "TIniFile.h"

#include <QObject>
#include <memory>

// What the caption store and the font store share: the INI-file object they own, where
// it lives (IniPath, IniName, folder) and the ways of rebinding it. Each store is bound
// to exactly one file at a time; rebinding releases the object it replaces.
class TIniStore : public QObject
{
    Q_OBJECT
public:
    TIniPaths IniPath() const { return m_iniPath; }
    void SetIniPath(TIniPaths path) { m_iniPath = path; }
    const QString &IniName() const { return m_iniName; }
    void SetIniName(const QString &name) { m_iniName = name; }
    // The folder that BindConfiguredFile puts before IniName, with its trailing separator.
    const QString &Directory() const { return m_directory; }

    TIniFile *IniFile() const { return m_iniFile.get(); }

    // Binds the file named by the configured IniPath and IniName (nothing when IniName is
    // empty); run once the owner has set them.
    void BindConfiguredFile();
    // Adopts file; IniName becomes its full file name.
    void SetIniFile(std::unique_ptr<TIniFile> file);
    // Binds fileName as it is; IniPath becomes UserPath, IniName and the folder stay.
    void SetIniFileName(const QString &fileName);

protected:
    // Binds a new store by the creation rule: the source name is the file chosen in a file
    // dialog, or else the program's own path; its stem up to and including the last "."
    // of its file name (all of it and a "." when it has none, or only a leading one),
    // followed by "ini", gives IniName. A caption store then works on
    // the source file itself in the source's folder, a font store on the stem's file in
    // the stem's folder (the companion font file).
    enum class Kind { Caption, Font };
    TIniStore(QObject *owner, const QString &sourceName, Kind kind);

private:
    TIniPaths m_iniPath = UserPath;
    QString m_iniName;
    QString m_directory;
    std::unique_ptr<TIniFile> m_iniFile;
};
