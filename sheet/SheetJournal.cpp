#include "SheetJournal.h"

#include "SheetFields.h"
#include "SheetKeys.h"

#include <QtDebug>

namespace {

constexpr int FlushDelayMs = 500; // well within a second of any change

// The texts the user changes; the clock-made PO number and date after them only come along.
bool sameTexts(const QStringList &a, const QStringList &b)
{
    for (int i = 0; i < SheetJournal::ChangedTexts; ++i) {
        if (a.value(i) != b.value(i))
            return false;
    }
    return true;
}

} // namespace

SheetJournal::SheetJournal(std::function<QStringList()> snapshot, QObject *parent)
    : QObject(parent), m_snapshot(std::move(snapshot))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(FlushDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &SheetJournal::Flush);
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
    m_unsaved = false;
    m_dirty = false;
    m_timer.stop();
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

std::optional<RecoveryJournal::Contents> SheetJournal::Loaded()
{
    settle();
    m_offer.reset();
    if (!m_enabled)
        return std::nullopt;
    auto journal = RecoveryJournal::read(m_path, Sections());
    if (!journal)
        return std::nullopt; // none, or not one of ours: ignored
    if (sameTexts(journal->texts, *m_baseline)) {
        RecoveryJournal::remove(m_path); // the file holds all of it
        return std::nullopt;
    }
    m_offer = journal;
    return journal;
}

void SheetJournal::Recovered()
{
    if (!m_offer)
        return;
    // The journal on disk holds exactly what the window shows now.
    m_changedMs = m_offer->changed.toMSecsSinceEpoch();
    m_offer.reset();
    m_unsaved = true;
    if (m_dirty)
        m_timer.start();
}

void SheetJournal::Declined()
{
    if (!m_offer)
        return;
    m_offer.reset();
    RecoveryJournal::remove(m_path);
    if (m_dirty)
        m_timer.start();
}

void SheetJournal::Saved()
{
    settle();
    m_offer.reset();
    RecoveryJournal::remove(m_path);
}

void SheetJournal::Discard()
{
    Saved();
}

void SheetJournal::Flush()
{
    if (!m_dirty || m_offer || m_path.isEmpty())
        return; // an offered journal stays as it is until the user has answered
    m_dirty = false;
    m_timer.stop();
    const QStringList texts = m_snapshot();
    m_unsaved = !m_baseline || !sameTexts(texts, *m_baseline);
    if (!m_unsaved) {
        RecoveryJournal::remove(m_path);
        return;
    }
    const RecoveryJournal::Contents contents{texts, QDateTime::fromMSecsSinceEpoch(m_changedMs, Qt::UTC)};
    if (!RecoveryJournal::write(m_path, Sections(), contents))
        qWarning("Unable to write the recovery journal of %s", qPrintable(m_path));
}

bool SheetJournal::HasUnsaved() const
{
    if (!m_dirty)
        return m_unsaved;
    return !m_baseline || !sameTexts(m_snapshot(), *m_baseline);
}
