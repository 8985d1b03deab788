#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// An INI file under the private-profile rules: it holds only the file name, and every
// read and write goes to the file, so objects bound to the same file always agree.
// Reads never create anything and give the caller's default for a missing file, section
// or key. Writes create what is missing, replace the file atomically and raise AppError
// "Unable to write to <file>" when that fails, leaving the old file untouched. A name
// without a directory is taken from the user's configuration folder.
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    // The name the object was bound with, unchanged.
    const QString &fileName() const { return m_fileName; }
    // The absolute path that is read and written.
    const QString &fullPath() const { return m_fullPath; }

    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    void writeString(QStringView section, QStringView key, QStringView value);

    // Decimal, "$" + hex, or "0x"/"0X" + hex (more than two characters); otherwise the
    // default.
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    void writeInteger(QStringView section, QStringView key, int value);

    // "1" or "0" when written; any non-zero integer reads as true.
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;
    void writeBool(QStringView section, QStringView key, bool value);

    // Makes what was written durable on disk.
    void flush();

    // Why the file, though there, read as empty: a message for the user, or empty when it
    // was read or is simply missing. Writes to such a file fail until startAfresh().
    QString readProblem() const;
    // The user chose to save over the file: one that could not be read is replaced whole.
    void startAfresh();

    // The integer rule on its own, for values read elsewhere.
    static std::optional<int> parseInteger(QStringView text);

private:
    std::optional<QString> read(QStringView section, QStringView key) const;

    QString m_fileName;
    QString m_fullPath;
    QByteArray m_localPath;
};
