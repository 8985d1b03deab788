#include "IniDocument.h"

#include "Win1252.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// The name between "[" and "]" (or the end of the line) of a section header, or an empty
// optional when the line is no header.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    const QByteArrayView t = trimmed(line);
    if (t.isEmpty() || t[0] != '[')
        return std::nullopt;
    const QByteArrayView rest = t.sliced(1);
    const qsizetype close = rest.indexOf(']');
    return trimmed(close < 0 ? rest : rest.first(close));
}

// The key name of a key line, or an empty optional for any other line.
std::optional<QByteArrayView> keyName(QByteArrayView line)
{
    const QByteArrayView t = trimmed(line);
    if (t.startsWith(';'))
        return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return trimmed(t.first(eq));
}

QByteArray readValue(const QByteArray &line)
{
    QByteArrayView v = trimmed(QByteArrayView(line).sliced(line.indexOf('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.first(std::min(v.size(), IniDocument::MaxValueLength)).toByteArray();
}

} // namespace

QString IniDocument::fold(QStringView name)
{
    return name.toString().toCaseFolded();
}

IniDocument IniDocument::parse(QByteArrayView bytes)
{
    IniDocument doc;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        doc.m_bom = true;
        bytes = bytes.sliced(3);
    }
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        Line line;
        line.text = bytes.sliced(pos, end - pos).toByteArray();
        if (end == n) {
            line.eol = Eol::None;
            pos = n;
        } else if (bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') {
            line.eol = Eol::CrLf;
            pos = end + 2;
        } else {
            line.eol = bytes[end] == '\n' ? Eol::Lf : Eol::Cr;
            pos = end + 1;
        }

        if (const auto name = sectionName(line.text)) {
            const QString folded = fold(Win1252::decode(*name));
            if (!doc.m_firstSection.contains(folded)) // the first of duplicates counts
                doc.m_firstSection.insert(folded, qsizetype(doc.m_sections.size()));
            doc.m_sections.push_back(Section{std::move(line), {}});
            continue;
        }
        if (doc.m_sections.empty()) {
            doc.m_preamble.push_back(std::move(line)); // no key stands before any section
            continue;
        }
        if (const auto key = keyName(line.text)) {
            line.isKey = true;
            line.foldedKey = fold(Win1252::decode(*key));
        }
        doc.m_sections.back().body.push_back(std::move(line));
    }
    return doc;
}

template <class Visit>
void IniDocument::forEachLine(Visit visit) const
{
    for (const Line &l : m_preamble)
        visit(l);
    for (const Section &s : m_sections) {
        visit(s.header);
        for (const Line &l : s.body)
            visit(l);
    }
}

QByteArray IniDocument::serialize() const
{
    static const QByteArray eols[] = {"", "\r\n", "\n", "\r"};
    qsizetype total = m_bom ? 3 : 0;
    forEachLine([&](const Line &l) { total += l.text.size() + 2; });

    QByteArray out;
    out.reserve(total);
    if (m_bom)
        out.append("\xEF\xBB\xBF");
    forEachLine([&](const Line &l) {
        out.append(l.text);
        out.append(eols[int(l.eol)]);
    });
    return out;
}

const IniDocument::Line *IniDocument::findKey(const Section &section,
                                              const QString &foldedKey) const
{
    for (const Line &l : section.body) {
        if (l.isKey && l.foldedKey == foldedKey)
            return &l;
    }
    return nullptr;
}

IniDocument::Line *IniDocument::findKey(Section &section, const QString &foldedKey)
{
    return const_cast<Line *>(std::as_const(*this).findKey(section, foldedKey));
}

std::optional<QByteArray> IniDocument::value(QStringView section, QStringView key) const
{
    const auto it = m_firstSection.constFind(fold(section));
    if (it == m_firstSection.cend())
        return std::nullopt;
    const Line *line = findKey(m_sections[*it], fold(key));
    if (!line)
        return std::nullopt;
    return readValue(line->text);
}

IniDocument::Line *IniDocument::lastLine()
{
    if (!m_sections.empty()) {
        Section &s = m_sections.back();
        return s.body.empty() ? &s.header : &s.body.back();
    }
    return m_preamble.empty() ? nullptr : &m_preamble.back();
}

void IniDocument::ensureEndsWithNewline(Line &line)
{
    if (line.eol == Eol::None)
        line.eol = Eol::CrLf;
}

bool IniDocument::setValue(QStringView section, QStringView key, const QByteArray &value)
{
    const QByteArray text = Win1252::encode(key) + '=' + value;
    const QString foldedSection = fold(section);
    const auto it = m_firstSection.constFind(foldedSection);

    if (it == m_firstSection.cend()) {
        if (Line *last = lastLine())
            ensureEndsWithNewline(*last);
        Section s;
        s.header.text = '[' + Win1252::encode(section) + ']';
        s.body.push_back(Line{text, Eol::CrLf, fold(key), true});
        m_firstSection.insert(foldedSection, qsizetype(m_sections.size()));
        m_sections.push_back(std::move(s));
        return true;
    }

    Section &s = m_sections[*it];
    const QString foldedKey = fold(key);
    if (Line *line = findKey(s, foldedKey)) {
        if (line->text == text)
            return false;
        line->text = text;
        return true;
    }

    // A new key goes after the section's last non-blank line, so that blank lines that
    // separate it from the next section stay where they are.
    qsizetype at = qsizetype(s.body.size());
    while (at > 0 && trimmed(s.body[at - 1].text).isEmpty())
        --at;
    ensureEndsWithNewline(at == 0 ? s.header : s.body[at - 1]);
    s.body.insert(s.body.begin() + at, Line{text, Eol::CrLf, foldedKey, true});
    return true;
}
