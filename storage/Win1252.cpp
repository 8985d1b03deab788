#include "Win1252.h"

#include <QHash>
#include <QStringDecoder>
#include <array>

namespace {

// Both directions are built once from Qt's own codec table, so no code table is written
// out by hand. Every byte decodes to exactly one UTF-16 unit.
struct Tables
{
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;

    Tables()
    {
        QStringDecoder decoder("windows-1252");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString one = decoder(QByteArrayView(&byte, 1));
            toUnicode[b] = one.size() == 1 ? one.at(0).unicode() : char16_t(b);
            if (b >= 0x80)
                fromUnicode.insert(toUnicode[b], byte);
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

namespace Win1252 {

QString decode(QByteArrayView bytes)
{
    const auto &map = tables().toUnicode;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(map[uchar(bytes[i])]);
    return out;
}

QByteArray encode(QStringView text)
{
    const auto &map = tables().fromUnicode;
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one "?" for the whole code point
        const auto it = map.constFind(c);
        out.append(it != map.cend() ? *it : '?');
    }
    return out;
}

QByteArray encodeLine(QStringView text)
{
    QByteArray bytes = encode(text);
    bytes.replace('\r', ' ').replace('\n', ' ');
    return bytes;
}

} // namespace Win1252
