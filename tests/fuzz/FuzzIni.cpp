// A random file and one edit, all in memory: the file is written back byte for byte as read,
// and after the edit it parses back with the written value, its other bytes unchanged. The
// same file read as a recovery journal is refused or gives texts that write back as one.

#include "IniDocument.h"
#include "RecoveryJournal.h"
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

// A journal's sections as the sheet window asks for them.
const QStringList &journalSections()
{
    static const QStringList sections = [] {
        QStringList s{QStringLiteral("Image1")};
        for (int c = 0; c < 7; ++c) {
            for (int r = 0; r < 9; ++r)
                s << QStringLiteral("Table%1%2").arg(c).arg(r);
        }
        s << QStringLiteral("labelPONumber") << QStringLiteral("labelPODate");
        return s;
    }();
    return sections;
}

void readAsJournal(const IniDocument &file)
{
    static const QString sheet = QStringLiteral("/fuzz/order.pof");
    QString owner;
    const auto journal = RecoveryJournal::decode(file, sheet, journalSections(), &owner);
    if (!journal)
        return;
    if (journal->texts.size() != journalSections().size() ||
        !RecoveryJournal::decode(RecoveryJournal::encode(sheet, owner, journalSections(), *journal), sheet,
                                 journalSections()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte says how many of the next bytes describe the edit; the rest is the file.
    size_t left = std::min<size_t>(data[0] % 48, size - 1);
    const uint8_t *edit = data + 1;
    // The fuzzer's bytes outlive every document made here, so they need no copy.
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1 + left),
                                                    qsizetype(size - 1 - left));
    const QString section = pick(edit, left, true);
    const QString key = pick(edit, left, true);
    const QString value = pick(edit, left, false);

    IniDocument doc = IniDocument::parse(file);
    readAsJournal(doc);
    const QByteArray before = doc.serialize();
    if (before != file)
        std::abort();
    if (section.isEmpty() || key.isEmpty())
        return 0;
    const QByteArray bytes = Win1252::encode(value);
    const bool changed = doc.setValue(section, key, bytes);
    const QByteArray after = doc.serialize();
    if (changed == (after == before))
        std::abort();
    const IniDocument back = IniDocument::parse(after);
    if (back.serialize() != after)
        std::abort();
    // Reading drops blanks around a value and one pair of enclosing quotes.
    QByteArray expected = bytes.trimmed();
    if (expected.size() >= 2 && (expected.front() == '"' || expected.front() == '\'') &&
        expected.back() == expected.front())
        expected = expected.mid(1, expected.size() - 2);
    expected = expected.left(IniDocument::MaxValueLength);
    const auto read = back.value(section, key);
    if (!read || *read != expected)
        std::abort();
    return 0;
}
