#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

// The parsed form of one INI file, kept as the file's own lines so that a change touches
// only the line it replaces or the lines it adds; every other byte (comments, blank lines,
// unknown sections, line endings, a byte-order mark) is written back exactly as read.
//
// Reading rules: a line whose first non-blank character is "[" opens a section named by
// the text up to "]"; inside a section a line holding "=" and not starting with ";" is a
// key. Names match without regard to case and blanks around them do not count; of
// duplicated sections or keys the first is the one read and the one replaced.
//
// Memory stays a small multiple of the file's size whatever it holds: lines are slices of
// the file's bytes (16 bytes each), runs of blank or of other non-key lines are one slice,
// and names are kept as hashes, compared in full only when the hashes agree.
class IniDocument
{
public:
    static constexpr qsizetype MaxValueLength = 2047;

    // Files beyond 4 GB are not parsed: no sheet file comes near (the cache refuses far less).
    // The document keeps the bytes it is given (shared, not copied) and points into them.
    static IniDocument parse(QByteArray bytes);
    QByteArray serialize() const;

    // The value as read back: blanks around it dropped, one pair of enclosing quotes
    // removed, cut after MaxValueLength bytes. Empty optional for a missing key.
    std::optional<QByteArray> value(QStringView section, QStringView key) const;

    // Replaces the key's line in place or adds it (and its section) at the end; new
    // lines end in CR LF. Returns false when the file's bytes would not change.
    bool setValue(QStringView section, QStringView key, const QByteArray &value);

private:
    enum class Eol : quint8 { None, CrLf, Lf, Cr };
    enum class Kind : quint8 { Other, Blank, Key, Header };
    struct Line
    {
        quint32 begin = 0; // into m_source, or into m_owned for a line written since
        quint32 length = 0;
        quint32 nameHash = 0; // of the folded key or section name
        Eol eol = Eol::CrLf;
        Kind kind = Kind::Other;
        bool owned = false;
    };
    struct Section
    {
        Line header;
        std::vector<Line> body;
    };

    static QString fold(QStringView name);
    static quint32 hashOf(const QString &folded);
    static quint32 hashOfName(QByteArrayView name);
    static bool sameName(QByteArrayView name, const QString &folded);
    QByteArrayView text(const Line &line) const;
    Line newLine(const QByteArray &text, Kind kind, quint32 nameHash);
    void setText(Line &line, const QByteArray &text);
    template <class Visit> void forEachLine(Visit visit) const;
    void rebuildSectionIndex();
    void indexSection(quint32 index);
    const Section *findSection(const QString &folded, quint32 hash) const;
    const Line *findKey(const Section &section, const QString &folded, quint32 hash) const;
    Line *lastLine();
    static void ensureEndsWithNewline(Line &line);

    QByteArray m_source;
    std::vector<QByteArray> m_owned;
    bool m_bom = false;
    std::vector<Line> m_preamble;
    std::vector<Section> m_sections;
    std::vector<quint32> m_sectionIndex; // a hash table of section index + 1; 0 is free
};
