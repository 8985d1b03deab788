#include "TIniStore.h"

#include "GenUtils.h"

TIniStore::TIniStore(QObject *owner, const QString &sourceName, Kind kind) : QObject(owner)
{
    // The last "." of the file name, not of the whole path: a dotted folder ("john.doe",
    // "x.y") must not send the fonts out of the chosen folder, and "Order.17.pof" and
    // "Order.18.pof" must not share one font file. A leading dot starts no extension.
    const qsizetype name = sourceName.lastIndexOf(u'/') + 1;
    const qsizetype dot = sourceName.lastIndexOf(u'.');
    const QString stem = (dot <= name ? sourceName + u'.' : sourceName.first(dot + 1)) + QStringLiteral("ini");
    m_iniName = ExtractFileName(stem);
    if (kind == Kind::Caption) {
        m_directory = ExtractFilePath(sourceName);
        m_iniFile = std::make_unique<TIniFile>(sourceName);
    } else {
        m_directory = ExtractFilePath(stem);
        m_iniFile = std::make_unique<TIniFile>(m_directory + m_iniName);
    }
}

void TIniStore::BindConfiguredFile()
{
    if (m_iniPath == AppPath)
        m_directory = AppDir();
    else if (m_iniPath == WinPath)
        m_directory.clear();
    if (m_iniName.isEmpty())
        return;
    m_iniFile = std::make_unique<TIniFile>(m_directory + m_iniName);
}

void TIniStore::SetIniFile(std::unique_ptr<TIniFile> file)
{
    if (!file)
        file = std::make_unique<TIniFile>(QString()); // a store always has a file to ask
    m_iniName = file->fileName();
    m_iniFile = std::move(file);
}

void TIniStore::SetIniFileName(const QString &fileName)
{
    m_iniPath = UserPath;
    m_iniFile = std::make_unique<TIniFile>(fileName);
}
