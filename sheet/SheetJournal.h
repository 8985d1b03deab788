#pragma once

#include "RecoveryJournal.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

// Keeps the open sheet's recovery journal in step with the window. A change only marks it
// dirty (typing stays as fast as without it); within half a second the texts that reach
// the sheet file only with a full save are compared with what the file holds, and the
// journal is written, or removed once they agree again. After a load, a journal holding
// something the file does not is offered back; until the user has answered, it is not
// written over.
class SheetJournal : public QObject
{
    Q_OBJECT
public:
    // snapshot gives the window's texts in the order of Sections().
    SheetJournal(std::function<QStringList()> snapshot, QObject *parent);

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
    // The file holds text at index of Sections() now (written there at once).
    void FileHolds(int index, const QString &text);

    // The window was just loaded from the file: what the file holds. Returns a journal that
    // holds something else, to be offered; until Recovered() or Declined(), none is written.
    std::optional<RecoveryJournal::Contents> Loaded();
    // The journal offered after the last load, until the user has answered.
    const std::optional<RecoveryJournal::Contents> &Offer() const { return m_offer; }
    // The user took the offered texts back into the window: the journal stays as it is.
    void Recovered();
    // The user declined them: the journal goes.
    void Declined();
    // The window was just saved whole into the file: the journal goes.
    void Saved();
    // The user chose not to save: the journal goes and the present texts count as settled.
    void Discard();

    // Writes what is pending now, durably.
    void Flush();
    // True when the window holds texts of Sections() that the file does not.
    bool HasUnsaved() const;
    const QString &SheetPath() const { return m_path; }
    // Off, a change is not even marked (for comparing what the journal costs).
    void SetEnabled(bool enabled) { m_enabled = enabled; }

private:
    void settle();

    std::function<QStringList()> m_snapshot;
    QTimer m_timer;
    QString m_path;
    std::optional<QStringList> m_baseline; // what the file holds, once known
    std::optional<RecoveryJournal::Contents> m_offer;
    qint64 m_changedMs = 0;
    bool m_dirty = false;   // changed since the last flush
    bool m_unsaved = false; // as of the last flush, the window held what the file does not
    bool m_enabled = true;
};
