#include "TIniFile.h"

#include "IniFileCache.h"
#include "Win1252.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

QString resolve(const QString &fileName)
{
    if (fileName.isEmpty() || QDir::isAbsolutePath(fileName))
        return QDir::cleanPath(fileName);
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir::cleanPath(QDir(base).absoluteFilePath(fileName));
}

// Plain ASCII digits only; anything past 32 bits is no integer of ours.
std::optional<quint64> parseDigits(QStringView digits, int base)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 v = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        const int d = u >= '0' && u <= '9'   ? u - '0'
                      : u >= 'a' && u <= 'f' ? u - 'a' + 10
                      : u >= 'A' && u <= 'F' ? u - 'A' + 10
                                             : 99;
        if (d >= base)
            return std::nullopt;
        v = v * quint64(base) + quint64(d);
        if (v > 0xFFFFFFFFULL)
            return std::nullopt;
    }
    return v;
}

} // namespace

TIniFile::TIniFile(const QString &fileName)
    : m_fileName(fileName), m_fullPath(resolve(fileName)), m_localPath(QFile::encodeName(m_fullPath))
{
}

std::optional<QString> TIniFile::read(QStringView section, QStringView key) const
{
    if (m_fileName.isEmpty())
        return std::nullopt;
    const IniDocument *doc = IniFileCache::instance().document(m_localPath);
    if (!doc)
        return std::nullopt;
    const auto bytes = doc->value(section, key);
    if (!bytes)
        return std::nullopt;
    return Win1252::decode(*bytes);
}

QString TIniFile::readString(QStringView section, QStringView key,
                            const QString &defaultValue) const
{
    return read(section, key).value_or(defaultValue);
}

void TIniFile::writeString(QStringView section, QStringView key, QStringView value)
{
    const QByteArray bytes = Win1252::encodeLine(value);
    IniFileCache::instance().modify(m_localPath, m_fullPath, [&](IniDocument &doc) {
        return doc.setValue(section, key, bytes);
    });
}

std::optional<int> TIniFile::parseInteger(QStringView text)
{
    std::optional<quint64> hex;
    if (text.startsWith(u'$'))
        hex = parseDigits(text.sliced(1), 16);
    else if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X")))
        hex = parseDigits(text.sliced(2), 16);
    else {
        const bool negative = text.startsWith(u'-');
        const bool signed_ = negative || text.startsWith(u'+');
        const QStringView digits = signed_ ? text.sliced(1) : text;
        const auto v = parseDigits(digits, 10);
        if (!v || *v > (negative ? 2147483648ULL : 2147483647ULL))
            return std::nullopt;
        return negative ? int(-qint64(*v)) : int(*v);
    }
    // Hexadecimal covers the full 32 bits, so "$80000008" is a negative number.
    if (!hex || *hex > 0xFFFFFFFFULL)
        return std::nullopt;
    return int(quint32(*hex));
}

int TIniFile::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    const auto text = read(section, key);
    return text ? parseInteger(*text).value_or(defaultValue) : defaultValue;
}

void TIniFile::writeInteger(QStringView section, QStringView key, int value)
{
    writeString(section, key, QString::number(value));
}

bool TIniFile::readBool(QStringView section, QStringView key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::writeBool(QStringView section, QStringView key, bool value)
{
    writeString(section, key, value ? u"1" : u"0");
}

QString TIniFile::readProblem() const
{
    if (m_fileName.isEmpty())
        return {};
    IniFileCache &cache = IniFileCache::instance();
    cache.document(m_localPath);
    switch (cache.readStatus(m_localPath)) {
    case SafeFile::ReadStatus::TooLarge:
        return QStringLiteral("%1 is larger than %2 MB and cannot be a purchase order. It was not "
                              "loaded.")
            .arg(m_fullPath)
            .arg(IniFileCache::MaxFileBytes / (1024 * 1024));
    case SafeFile::ReadStatus::Failed:
        return QStringLiteral("Unable to read %1").arg(m_fullPath);
    default:
        return {};
    }
}

void TIniFile::startAfresh()
{
    if (!m_fileName.isEmpty())
        IniFileCache::instance().replaceUnreadable(m_localPath);
}

void TIniFile::flush()
{
    if (!m_fileName.isEmpty())
        IniFileCache::instance().flush(m_localPath, m_fullPath);
}
