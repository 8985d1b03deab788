#pragma once

#include "IniDocument.h"
#include "SafeFile.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <unordered_map>
#include <unordered_set>

struct stat;

// One parsed copy of each INI file the program touches, shared by every INI-file object
// bound to it. Before each use the copy is checked against the file's size, modification
// time and inode, so a file written by anyone else is parsed again, and a file that has
// not changed is never parsed twice. Used on the user-interface thread only.
class IniFileCache
{
public:
    static IniFileCache &instance();

    // Far beyond any order; a larger file is not read, so that parsing stays cheap.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

    // The file as it is now, or nullptr when it is missing, is no regular file, or could not
    // be read (then readStatus says why).
    const IniDocument *document(const QByteArray &path);
    // How the last read of the file went: Missing also for a file never read.
    SafeFile::ReadStatus readStatus(const QByteArray &path) const;

    // Applies change to the file's current contents and, when the bytes change, replaces
    // the file atomically (SafeFile::replace). Throws AppError "Unable to write to
    // <displayName>" and leaves the old file as it was when that fails, and also when the
    // file exists but could not be read: its contents would be lost.
    void modify(const QByteArray &path, const QString &displayName,
                const std::function<bool(IniDocument &)> &change);

    // The user chose to save over a file that could not be read: the next writes start it
    // afresh instead of being refused.
    void replaceUnreadable(const QByteArray &path);

    // Makes the file and its directory entry durable.
    void flush(const QByteArray &path, const QString &displayName);

    // Within a batch, changes stay in the cache (where every read sees them) and each
    // changed file is written once, atomically, when the outermost batch ends with
    // commit; ending it without commit forgets them. Batches nest.
    void beginBatch();
    void endBatch(bool commit);

    // A file that could not be read is not read again until it changes or a new load begins:
    // a load asks for hundreds of keys, and each read of an unreadable file may take long.
    void newLoad() { ++m_load; }

    // How many times a file has been read, parsed, and replaced, for tests and benchmarks.
    quint64 parseCount() const { return m_parses; }
    quint64 readCount() const { return m_reads; }
    quint64 replaceCount() const { return m_replaces; }

private:
    struct Stamp
    {
        quint64 device = 0, inode = 0;
        qint64 size = -1, mtimeSec = 0, mtimeNsec = 0;
        bool operator==(const Stamp &) const = default;
    };
    struct Entry
    {
        Stamp stamp;
        IniDocument doc;
        SafeFile::ReadStatus status = SafeFile::ReadStatus::Ok;
        quint64 load = 0; // the load during which the file was read
        qint64 changeSec = 0, changeNsec = 0; // its status change time then
    };

    static Stamp stampOf(const struct stat &st);
    // Whether the entry still stands for the file (st: its state now, nullptr when it could
    // not be looked at).
    bool unchanged(const Entry &entry, const struct stat *st) const;
    Entry &entryFor(const QByteArray &path);
    void write(const QByteArray &path, const QString &displayName, Entry &entry);

    std::unordered_map<QByteArray, Entry> m_entries;
    int m_batchDepth = 0;
    quint64 m_load = 0;
    quint64 m_parses = 0;
    quint64 m_reads = 0;
    quint64 m_replaces = 0;
    std::map<QByteArray, QString> m_dirty; // path -> name for messages, changed in a batch
    std::unordered_set<QByteArray> m_seenInBatch;
};
