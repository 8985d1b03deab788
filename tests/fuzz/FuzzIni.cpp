// A random file, then a random sequence of writes and reads on it: nothing crashes or
// hangs, and after each write the file parses back with the written value.

#include "IniDocument.h"
#include "Win1252.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

// Names and values as a user or a sheet would give them: printable Windows-1252, no
// brackets or "=" in names, no line breaks.
QString pick(const uint8_t *&data, size_t &size, bool name)
{
    QByteArray bytes;
    const size_t length = size ? std::min<size_t>(*data % 12, size - 1) : 0;
    if (size) {
        ++data;
        --size;
    }
    for (size_t i = 0; i < length && size; ++i, ++data, --size) {
        char c = char(*data);
        if (uchar(c) < 0x20 || c == '\x7f' || (name && (c == '[' || c == ']' || c == '=' || c == ';')))
            c = 'k';
        bytes.append(c);
    }
    QString text = Win1252::decode(bytes);
    return name ? text.trimmed() : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const size_t split = size ? data[0] % (size + 1) : 0;
    IniDocument doc = IniDocument::parse(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(split)));
    const uint8_t *rest = data + split;
    size_t left = size - split;
    while (left > 2) {
        const QString section = pick(rest, left, true);
        const QString key = pick(rest, left, true);
        const QString value = pick(rest, left, false);
        if (section.isEmpty() || key.isEmpty())
            continue;
        QByteArray bytes = Win1252::encode(value);
        doc.setValue(section, key, bytes);
        const IniDocument back = IniDocument::parse(doc.serialize());
        const auto read = back.value(section, key);
        // Reading drops blanks around a value and one pair of enclosing quotes.
        QByteArray expected = bytes.trimmed();
        if (expected.size() >= 2 && (expected.front() == '"' || expected.front() == '\'') &&
            expected.back() == expected.front())
            expected = expected.mid(1, expected.size() - 2);
        expected = expected.left(IniDocument::MaxValueLength);
        if (!read || *read != expected)
            std::abort();
    }
    return 0;
}
