#include "SheetJournal.h"

#include "SheetFields.h"
#include "SheetKeys.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

constexpr int FlushDelayMs = 500; // well within a second of any change
// A journal that could not be written is tried again this often, so that what was typed
// reaches it as soon as there is room, not only with the next change.
constexpr int RetryDelayMs = 2000;

// The texts the user changes; the clock-made PO number and date after them only come along.
bool sameTexts(const QStringList &a, const QStringList &b)
{
    for (int i = 0; i < SheetJournal::ChangedTexts; ++i) {
        if (a.value(i) != b.value(i))
            return false;
    }
    return true;
}

// Why this copy's unsaved work cannot be kept safe, and what is at stake.
QString failureText(int cause)
{
    const QString folder = QDir::toNativeSeparators(RecoveryJournal::folder());
    QString why;
    if (cause == ENOSPC || cause == EDQUOT)
        why = QStringLiteral("The folder \"%1\" is full.").arg(folder);
    else if (cause == EROFS || cause == EACCES || cause == EPERM)
        why = QStringLiteral("The folder \"%1\" cannot be written.").arg(folder);
    else
        why = QStringLiteral("The folder \"%1\" cannot be written (%2).").arg(folder, QString::fromLocal8Bit(std::strerror(cause)));
    return why + QStringLiteral("\r\n\r\nLine items and a logo typed since the last save are not kept safe there "
                                "until it has room again (tried every two seconds): they are lost if the program "
                                "ends before then or before you save the order.");
}

} // namespace

SheetJournal::SheetJournal(std::function<QStringList()> snapshot, QObject *parent)
    : QObject(parent), m_snapshot(std::move(snapshot))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(FlushDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &SheetJournal::Flush);
}

SheetJournal::~SheetJournal()
{
    if (m_enabled)
        RecoveryJournal::release();
}

const QStringList &SheetJournal::Sections()
{
    static const QStringList sections = [] {
        QStringList s{SheetKeys::Image1};
        for (int c = 0; c < SheetFields::GridColumns; ++c) {
            for (int r = 0; r < SheetFields::GridRows; ++r)
                s << SheetFields::TableKey(c, r);
        }
        s << QStringLiteral("labelPONumber") << QStringLiteral("labelPODate");
        return s;
    }();
    return sections;
}

void SheetJournal::Bind(const QString &sheetPath)
{
    Flush();
    m_path = sheetPath;
    m_baseline.reset();
    m_offer.reset();
    m_holders.clear();
    m_unsaved = false;
    m_dirty = false;
    m_timer.stop();
    if (m_enabled)
        RecoveryJournal::holdSheet(sheetPath);
}

void SheetJournal::FileHolds(int index, const QString &text)
{
    if (m_baseline && index >= 0 && index < m_baseline->size())
        (*m_baseline)[index] = text;
    Changed();
}

void SheetJournal::settle()
{
    m_baseline = m_snapshot();
    m_dirty = false;
    m_unsaved = false;
    m_timer.stop();
}

std::optional<SheetJournal::Offer> SheetJournal::Loaded()
{
    settle();
    m_offer.reset();
    m_holders.clear();
    if (!m_enabled)
        return std::nullopt;
    m_holders = RecoveryJournal::holdersOf(m_path);
    const QString own = RecoveryJournal::ownOwner();
    for (RecoveryJournal::Found &journal : RecoveryJournal::find(m_path, Sections())) {
        if (journal.ownerRunning && journal.owner != own)
            continue; // another copy's unsaved work: its own to keep
        if (sameTexts(journal.contents.texts, *m_baseline)) {
            RecoveryJournal::removeFile(journal.file); // the file holds all of it
            continue;
        }
        if (!m_offer) // the newest; any older ones wait for a later load
            m_offer = Offer{journal.file, journal.contents, RecoveryJournal::FileState::of(m_path)};
    }
    return m_offer;
}

void SheetJournal::Recovered()
{
    if (!m_offer)
        return;
    const Offer offer = *std::exchange(m_offer, std::nullopt);
    // The window shows the journal's texts now: this copy's journal takes them over, and
    // the one they came from goes only once they are safe there.
    m_changedMs = offer.contents.changed.toMSecsSinceEpoch();
    m_dirty = true;
    if (Flush() && m_unsaved && offer.file != RecoveryJournal::fileFor(m_path))
        RecoveryJournal::removeFile(offer.file);
}

void SheetJournal::Declined()
{
    if (m_offer)
        RecoveryJournal::removeFile(std::exchange(m_offer, std::nullopt)->file);
}

void SheetJournal::DiscardLeftBehind(const QString &sheetPath)
{
    for (const RecoveryJournal::Found &journal : RecoveryJournal::find(sheetPath, Sections())) {
        if (!journal.ownerRunning)
            RecoveryJournal::removeFile(journal.file);
    }
}

void SheetJournal::Saved()
{
    settle();
    RecoveryJournal::remove(m_path);
}

void SheetJournal::Discard()
{
    Saved();
}

bool SheetJournal::Flush()
{
    if (!m_dirty || m_path.isEmpty())
        return true;
    m_dirty = false;
    m_timer.stop();
    const QStringList texts = m_snapshot();
    m_unsaved = !m_baseline || !sameTexts(texts, *m_baseline);
    if (!m_unsaved) {
        RecoveryJournal::remove(m_path);
        return true;
    }
    const RecoveryJournal::Contents contents{texts, QDateTime::fromMSecsSinceEpoch(m_changedMs, Qt::UTC),
                                             RecoveryJournal::FileState::of(m_path)};
    if (RecoveryJournal::write(m_path, Sections(), contents)) {
        m_timer.setInterval(FlushDelayMs);
        return true;
    }
    const int cause = errno;
    m_dirty = true;
    m_timer.start(RetryDelayMs);
    if (m_failures.insert(cause == EDQUOT ? ENOSPC : cause).second)
        emit WriteFailed(failureText(cause));
    return false;
}

bool SheetJournal::HasUnsaved() const
{
    if (!m_dirty)
        return m_unsaved;
    return !m_baseline || !sameTexts(m_snapshot(), *m_baseline);
}
