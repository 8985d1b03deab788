#pragma once

#include "RecoveryJournal.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <set>
#include <vector>

// Keeps this copy's recovery journal of the open sheet in step with the window. A change
// only marks it dirty (typing stays as fast as without it); within half a second the texts
// that reach the sheet file only with a full save are compared with what the file holds,
// and the journal is written, or removed once they agree again. After a load, a journal that
// a copy no longer running left, holding something the file does not, is offered back; it
// is never written over, and goes only when the user discards it or has it recovered.
class SheetJournal : public QObject
{
    Q_OBJECT
public:
    // snapshot gives the window's texts in the order of Sections().
    SheetJournal(std::function<QStringList()> snapshot, QObject *parent);
    // The program ends: this copy no longer holds its sheet.
    ~SheetJournal() override;

    // "Image1", then the line-item cells column by column ("Table00" to "Table68"): the texts
    // whose changes count; then the PO number and date, which a sheet made from a template
    // gets from the clock and which reach the file only with a save, so that a recovered
    // order keeps them.
    static const QStringList &Sections();
    static constexpr int LogoIndex = 0;
    static constexpr int ChangedTexts = 64;
    static constexpr int PONumberIndex = 64;
    static constexpr int PODateIndex = 65;

    // A journal for another sheet file; what the present one has pending is written first.
    // Until a load or a save says what the new file holds, any change counts as unsaved.
    void Bind(const QString &sheetPath);
    // Something of Sections() changed in the window.
    void Changed()
    {
        if (!m_enabled)
            return;
        m_dirty = true;
        m_changedMs = QDateTime::currentMSecsSinceEpoch();
        if (!m_timer.isActive())
            m_timer.start();
    }
    // The label of that name was edited: the journal follows the PO number and date it
    // carries, so that a recovery never puts back older ones.
    void LabelChanged(const QString &name)
    {
        if (name == Sections()[PONumberIndex] || name == Sections()[PODateIndex])
            Changed();
    }
    // The file holds text at index of Sections() now (written there at once).
    void FileHolds(int index, const QString &text);

    // A journal that holds what the file does not, offered after a load.
    struct Offer
    {
        QString file;                        // the journal
        RecoveryJournal::Contents contents;  // what it holds
        RecoveryJournal::FileState fileNow;  // the sheet file as it is now
        // The file has changed since the journal was written: another program, a restored
        // copy or a sync wrote it, and recovering would undo that.
        bool fileChanged() const { return !contents.file.sameBytes(fileNow); }
    };

    // The window was just loaded from the file: what the file holds. Returns the newest
    // journal of a copy that no longer runs that holds something else, to be offered; the
    // journals of running copies are neither offered nor touched.
    std::optional<Offer> Loaded();
    // The journal offered after the last load, until the user has answered.
    const std::optional<Offer> &Pending() const { return m_offer; }
    // Other running copies of the program that held the sheet at the last load.
    const std::vector<RecoveryJournal::Holder> &Holders() const { return m_holders; }
    // The user took the offered texts back into the window: they go into this copy's own
    // journal at once, and the offered one goes once that is safely written.
    void Recovered();
    // The user did not answer, or asked to keep it for later: it stays as it is.
    void KeptForLater() { m_offer.reset(); }
    // The user discarded it: the offered journal goes.
    void Declined();
    // Discards what copies no longer running left for the sheet at sheetPath.
    static void DiscardLeftBehind(const QString &sheetPath);
    // The window was just saved whole into the file: this copy's journal goes.
    void Saved();
    // The user chose not to save: this copy's journal goes and the present texts count as
    // settled.
    void Discard();

    // Writes what is pending now, durably; false when it could not be written.
    bool Flush();
    // True when the window holds texts of Sections() that the file does not.
    bool HasUnsaved() const;
    const QString &SheetPath() const { return m_path; }
    // Off, a change is not even marked (for comparing what the journal costs).
    void SetEnabled(bool enabled) { m_enabled = enabled; }

signals:
    // The journal could not be written: said once for each cause, so that the user knows
    // that what was typed is not kept safe.
    void WriteFailed(const QString &message);

private:
    void settle();

    std::function<QStringList()> m_snapshot;
    QTimer m_timer;
    QString m_path;
    std::optional<QStringList> m_baseline; // what the file holds, once known
    std::optional<Offer> m_offer;
    std::vector<RecoveryJournal::Holder> m_holders;
    std::set<int> m_failures; // the causes already reported
    qint64 m_changedMs = 0;
    bool m_dirty = false;   // changed since the last flush
    bool m_unsaved = false; // as of the last flush, the window held what the file does not
    bool m_enabled = true;
};
