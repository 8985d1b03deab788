#include "IniFileCache.h"

#include "AppError.h"

#include <cerrno>
#include <new>
#include <optional>
#include <unordered_set>
#include <sys/stat.h>
#include <utility>

namespace {

// Thrown inside this file only; modify() turns it into the user-facing message.
struct WriteFailed
{
};

} // namespace

IniFileCache &IniFileCache::instance()
{
    static IniFileCache cache;
    return cache;
}

IniFileCache::Stamp IniFileCache::stampOf(const struct stat &st)
{
    return Stamp{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                 qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)};
}

bool IniFileCache::unchanged(const Entry &entry, const struct stat *st) const
{
    if (entry.status != SafeFile::ReadStatus::Failed)
        return st && entry.stamp == stampOf(*st);
    // A file that could not be read (or not even looked at) is tried again once it changed,
    // its permissions included, or in the next load.
    return entry.load == m_load &&
           (!st || (entry.stamp == stampOf(*st) && entry.changeSec == qint64(st->st_ctim.tv_sec) &&
                    entry.changeNsec == qint64(st->st_ctim.tv_nsec)));
}

const IniDocument *IniFileCache::document(const QByteArray &path)
{
    using SafeFile::ReadStatus;
    if (m_dirty.contains(path))
        return &m_entries[path].doc; // changed in the open batch: newer than the disk
    struct stat st{};
    const bool there = ::stat(path.constData(), &st) == 0;
    if (!there && (errno == ENOENT || errno == ENOTDIR)) {
        m_entries.erase(path);
        return nullptr;
    }
    const auto it = m_entries.find(path);
    if (it != m_entries.end() && unchanged(it->second, there ? &st : nullptr))
        return it->second.status == ReadStatus::Ok ? &it->second.doc : nullptr;

    QByteArray bytes;
    ++m_reads;
    ReadStatus status = SafeFile::read(path, MaxFileBytes, bytes, st);
    if (status == ReadStatus::Missing) {
        m_entries.erase(path);
        return nullptr;
    }
    if (m_entries.size() > 64 && m_dirty.empty())
        m_entries.clear(); // a long session may touch many files; keep the cache small
    Entry &entry = m_entries[path];
    entry.stamp = stampOf(st);
    entry.load = m_load;
    entry.changeSec = qint64(st.st_ctim.tv_sec);
    entry.changeNsec = qint64(st.st_ctim.tv_nsec);
    entry.doc = IniDocument();
    try {
        if (status == ReadStatus::Ok) {
            entry.doc = IniDocument::parse(std::move(bytes));
            ++m_parses;
        }
    } catch (const std::bad_alloc &) {
        entry.doc = IniDocument();
        status = ReadStatus::Failed; // half a file is no file: writing it would lose the rest
    }
    entry.status = status;
    return status == ReadStatus::Ok ? &entry.doc : nullptr;
}

SafeFile::ReadStatus IniFileCache::readStatus(const QByteArray &path) const
{
    const auto it = m_entries.find(path);
    return it == m_entries.end() ? SafeFile::ReadStatus::Missing : it->second.status;
}

void IniFileCache::replaceUnreadable(const QByteArray &path)
{
    document(path);
    const auto it = m_entries.find(path);
    if (it == m_entries.end() || it->second.status == SafeFile::ReadStatus::Ok)
        return;
    it->second.doc = IniDocument();
    it->second.status = SafeFile::ReadStatus::Ok; // kept while the file stays as it is now
}

IniFileCache::Entry &IniFileCache::entryFor(const QByteArray &path)
{
    // Within a batch a file is looked at once: the batch replaces it whole at its end anyway.
    const auto seen = m_batchDepth > 0 && m_seenInBatch.contains(path) ? m_entries.find(path)
                                                                       : m_entries.end();
    if (seen != m_entries.end() && seen->second.status == SafeFile::ReadStatus::Ok)
        return seen->second;
    if (m_batchDepth > 0)
        m_seenInBatch.insert(path);
    if (!m_dirty.contains(path) && !document(path)) {
        if (m_entries.contains(path))
            throw WriteFailed{}; // there, but not read: its contents are not ours to replace
        Entry &fresh = m_entries[path];
        fresh = Entry{}; // size -1: not on disk yet
        return fresh;
    }
    return m_entries[path];
}

void IniFileCache::write(const QByteArray &path, const QString &displayName, Entry &entry)
{
    struct stat st;
    const QByteArray bytes = entry.doc.serialize();
    if (bytes.size() > MaxFileBytes) {
        // The next load would refuse it: the file keeps what it holds.
        m_entries.erase(path);
        throw AppError(QStringLiteral("Unable to write to %1: it would be larger than %2 MB, more "
                                      "than can be loaded again.")
                           .arg(displayName)
                           .arg(MaxFileBytes / (1024 * 1024)));
    }
    if (!SafeFile::replace(path, bytes, st)) {
        m_entries.erase(path); // the change never reached the file: forget it
        const QString cause = SafeFile::failureCause();
        throw AppError(cause.isEmpty() ? QStringLiteral("Unable to write to %1").arg(displayName)
                                       : QStringLiteral("Unable to write to %1: %2").arg(displayName, cause));
    }
    entry.stamp = stampOf(st);
    ++m_replaces;
}

void IniFileCache::modify(const QByteArray &path, const QString &displayName,
                          const std::function<bool(IniDocument &)> &change)
{
    Entry *found = nullptr;
    try {
        found = &entryFor(path);
    } catch (const WriteFailed &) {
        throw AppError(QStringLiteral("Unable to write to %1").arg(displayName));
    }
    Entry &entry = *found;
    const bool onDisk = entry.stamp.size >= 0;
    if (!change(entry.doc) && (onDisk || m_dirty.contains(path)))
        return;
    if (m_batchDepth > 0)
        m_dirty.emplace(path, displayName);
    else
        write(path, displayName, entry);
}

void IniFileCache::beginBatch()
{
    ++m_batchDepth;
}

void IniFileCache::endBatch(bool commit)
{
    if (--m_batchDepth > 0)
        return;
    m_seenInBatch.clear();
    const auto dirty = std::exchange(m_dirty, {});
    std::optional<AppError> failure;
    for (const auto &[path, displayName] : dirty) {
        if (!commit) {
            m_entries.erase(path);
            continue;
        }
        try {
            write(path, displayName, m_entries[path]);
        } catch (const AppError &e) {
            if (!failure)
                failure = e;
        }
    }
    if (failure)
        throw *failure;
}

void IniFileCache::flush(const QByteArray &path, const QString &displayName)
{
    if (!SafeFile::flush(path))
        throw AppError(QStringLiteral("Unable to write to %1").arg(displayName));
}
