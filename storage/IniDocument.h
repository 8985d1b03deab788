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
class IniDocument
{
public:
    static constexpr qsizetype MaxValueLength = 2047;

    static IniDocument parse(QByteArrayView bytes);
    QByteArray serialize() const;

    // The value as read back: blanks around it dropped, one pair of enclosing quotes
    // removed, cut after MaxValueLength bytes. Empty optional for a missing key.
    std::optional<QByteArray> value(QStringView section, QStringView key) const;

    // Replaces the key's line in place or adds it (and its section) at the end; new
    // lines end in CR LF. Returns false when the file's bytes would not change.
    bool setValue(QStringView section, QStringView key, const QByteArray &value);

private:
    enum class Eol : quint8 { None, CrLf, Lf, Cr };
    struct Line
    {
        QByteArray text;
        Eol eol = Eol::CrLf;
        QString foldedKey; // empty unless the line is a key line
        bool isKey = false;
    };
    struct Section
    {
        Line header;
        std::vector<Line> body;
    };

    static QString fold(QStringView name);
    template <class Visit> void forEachLine(Visit visit) const;
    Line *findKey(Section &section, const QString &foldedKey);
    const Line *findKey(const Section &section, const QString &foldedKey) const;
    void ensureEndsWithNewline(Line &line);
    Line *lastLine();

    bool m_bom = false;
    std::vector<Line> m_preamble;
    std::vector<Section> m_sections;
    QHash<QString, qsizetype> m_firstSection; // folded name -> index into m_sections
};
