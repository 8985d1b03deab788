#include "IniDocument.h"

#include "Win1252.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView s)
{
    const char *b = s.data(), *e = b + s.size();
    while (b < e && isBlank(*b))
        ++b;
    while (e > b && isBlank(e[-1]))
        --e;
    return QByteArrayView(b, e - b);
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

// Case folding of a plain ASCII character, as QString::toCaseFolded does it.
char foldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

QByteArray readValue(QByteArrayView line)
{
    QByteArrayView v = trimmed(line.sliced(line.indexOf('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.first(std::min(v.size(), IniDocument::MaxValueLength)).toByteArray();
}

} // namespace

QString IniDocument::fold(QStringView name)
{
    return name.toString().toCaseFolded();
}

// FNV-1a over the folded UTF-16 units, so that a name in the file's bytes (folded byte by
// byte when it is plain ASCII, as most are) and one given by a caller hash alike.
quint32 IniDocument::hashOf(const QString &folded)
{
    quint32 h = 2166136261u;
    for (const QChar c : folded)
        h = (h ^ c.unicode()) * 16777619u;
    return h;
}

quint32 IniDocument::hashOfName(QByteArrayView name)
{
    quint32 h = 2166136261u;
    for (const char c : name) {
        if (uchar(c) >= 0x80)
            return hashOf(fold(Win1252::decode(name)));
        h = (h ^ quint32(foldAscii(c))) * 16777619u;
    }
    return h;
}

QByteArrayView IniDocument::text(const Line &line) const
{
    if (line.owned)
        return m_owned[line.begin];
    return QByteArrayView(m_source).sliced(line.begin, line.length);
}

IniDocument::Line IniDocument::newLine(const QByteArray &text, Kind kind, quint32 nameHash)
{
    Line line;
    line.kind = kind;
    line.nameHash = nameHash;
    setText(line, text);
    return line;
}

void IniDocument::setText(Line &line, const QByteArray &text)
{
    if (!line.owned) {
        line.owned = true;
        line.begin = quint32(m_owned.size());
        m_owned.emplace_back();
    }
    m_owned[line.begin] = text;
    line.length = quint32(text.size());
}

IniDocument IniDocument::parse(QByteArray bytes)
{
    IniDocument doc;
    if (bytes.size() > qsizetype(std::numeric_limits<quint32>::max()))
        return doc;
    doc.m_source = std::move(bytes);
    const QByteArrayView all(doc.m_source);
    qsizetype pos = 0;
    if (all.startsWith("\xEF\xBB\xBF")) {
        doc.m_bom = true;
        pos = 3;
    }
    const qsizetype n = all.size();
    while (pos < n) {
        const char *begin = all.data() + pos;
        const void *lf = std::memchr(begin, '\n', size_t(n - pos));
        const qsizetype lineEnd = lf ? static_cast<const char *>(lf) - all.data() : n;
        const void *cr = std::memchr(begin, '\r', size_t(lineEnd - pos));
        const qsizetype end = cr ? static_cast<const char *>(cr) - all.data() : lineEnd;
        Line line;
        line.begin = quint32(pos);
        line.length = quint32(end - pos);
        const QByteArrayView text = all.sliced(pos, end - pos);
        if (end == n) {
            line.eol = Eol::None;
            pos = n;
        } else if (all[end] == '\r' && end + 1 < n && all[end + 1] == '\n') {
            line.eol = Eol::CrLf;
            pos = end + 2;
        } else {
            line.eol = all[end] == '\n' ? Eol::Lf : Eol::Cr;
            pos = end + 1;
        }

        if (const auto name = sectionName(text)) {
            line.kind = Kind::Header;
            line.nameHash = hashOfName(*name);
            doc.m_sections.push_back(Section{line, {}});
            continue;
        }
        std::vector<Line> &lines = doc.m_sections.empty() ? doc.m_preamble : doc.m_sections.back().body;
        const auto key = doc.m_sections.empty() ? std::nullopt : keyName(text); // no key before a section
        if (key) {
            line.kind = Kind::Key;
            line.nameHash = hashOfName(*key);
            lines.push_back(line);
            continue;
        }
        line.kind = trimmed(text).isEmpty() ? Kind::Blank : Kind::Other;
        // Lines that are never looked up join the run before them, as one slice.
        if (!lines.empty() && lines.back().kind == line.kind) {
            Line &run = lines.back();
            run.length = line.begin + line.length - run.begin;
            run.eol = line.eol;
            continue;
        }
        lines.push_back(line);
    }
    doc.rebuildSectionIndex();
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
    static const QByteArrayView eols[] = {"", "\r\n", "\n", "\r"};
    qsizetype total = m_bom ? 3 : 0;
    forEachLine([&](const Line &l) { total += l.length + 2; });

    QByteArray out;
    out.reserve(total);
    if (m_bom)
        out.append("\xEF\xBB\xBF");
    forEachLine([&](const Line &l) {
        out.append(text(l));
        out.append(eols[int(l.eol)]);
    });
    return out;
}

// Open addressing by name hash, sections entered in file order: along a probe sequence the
// first section that really matches is the first of its duplicates.
void IniDocument::rebuildSectionIndex()
{
    size_t tableSize = 16;
    while (tableSize < m_sections.size() * 2)
        tableSize *= 2;
    m_sectionIndex.assign(tableSize, 0);
    for (size_t i = 0; i < m_sections.size(); ++i)
        indexSection(quint32(i));
}

void IniDocument::indexSection(quint32 index)
{
    const size_t mask = m_sectionIndex.size() - 1;
    size_t slot = m_sections[index].header.nameHash & mask;
    while (m_sectionIndex[slot] != 0)
        slot = (slot + 1) & mask;
    m_sectionIndex[slot] = index + 1;
}

// Whether a name from the file, folded, is the folded name given; without allocating for
// plain ASCII, as most names are.
bool IniDocument::sameName(QByteArrayView name, const QString &folded)
{
    if (name.size() != folded.size())
        return fold(Win1252::decode(name)) == folded; // folding may change the length
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (uchar(c) >= 0x80)
            return fold(Win1252::decode(name)) == folded;
        if (folded[i].unicode() != char16_t(foldAscii(c)))
            return false;
    }
    return true;
}

const IniDocument::Section *IniDocument::findSection(const QString &folded, quint32 hash) const
{
    const size_t mask = m_sectionIndex.size() - 1;
    for (size_t slot = hash & mask; !m_sectionIndex.empty() && m_sectionIndex[slot] != 0;
         slot = (slot + 1) & mask) {
        const Section &s = m_sections[m_sectionIndex[slot] - 1];
        if (s.header.nameHash == hash && sameName(*sectionName(text(s.header)), folded))
            return &s;
    }
    return nullptr;
}

const IniDocument::Line *IniDocument::findKey(const Section &section, const QString &folded,
                                              quint32 hash) const
{
    for (const Line &l : section.body) {
        if (l.kind == Kind::Key && l.nameHash == hash && sameName(*keyName(text(l)), folded))
            return &l;
    }
    return nullptr;
}

std::optional<QByteArray> IniDocument::value(QStringView section, QStringView key) const
{
    const QString foldedSection = fold(section);
    const Section *s = findSection(foldedSection, hashOf(foldedSection));
    if (!s)
        return std::nullopt;
    const QString foldedKey = fold(key);
    const Line *line = findKey(*s, foldedKey, hashOf(foldedKey));
    if (!line)
        return std::nullopt;
    return readValue(text(*line));
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
    const QByteArray lineText = Win1252::encode(key) + '=' + value;
    const QString foldedSection = fold(section), foldedKey = fold(key);
    const quint32 sectionHash = hashOf(foldedSection), keyHash = hashOf(foldedKey);
    const Section *found = findSection(foldedSection, sectionHash);

    if (!found) {
        if (Line *last = lastLine())
            ensureEndsWithNewline(*last);
        Section s;
        s.header = newLine('[' + Win1252::encode(section) + ']', Kind::Header, sectionHash);
        s.body.push_back(newLine(lineText, Kind::Key, keyHash));
        m_sections.push_back(std::move(s));
        if (m_sections.size() * 2 > m_sectionIndex.size())
            rebuildSectionIndex();
        else
            indexSection(quint32(m_sections.size() - 1));
        return true;
    }

    Section &s = m_sections[size_t(found - m_sections.data())];
    if (const Line *existing = findKey(s, foldedKey, keyHash)) {
        Line &line = s.body[size_t(existing - s.body.data())];
        // The key keeps the file's own spelling: only its value is replaced.
        const QByteArrayView old = text(line);
        const QByteArray kept = keyName(old)->toByteArray() + '=' + value;
        if (old == kept)
            return false;
        setText(line, kept);
        return true;
    }

    // A new key goes after the section's last non-blank line, so that blank lines that
    // separate it from the next section stay where they are.
    qsizetype at = qsizetype(s.body.size());
    while (at > 0 && s.body[at - 1].kind == Kind::Blank)
        --at;
    ensureEndsWithNewline(at == 0 ? s.header : s.body[at - 1]);
    s.body.insert(s.body.begin() + at, newLine(lineText, Kind::Key, keyHash));
    return true;
}
