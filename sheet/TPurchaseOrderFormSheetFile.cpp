// Moving whole sheets between the window's fields and sheet files, and the figures
// computed from the fields.

#include "TPurchaseOrderForm.h"

#include "GenUtils.h"
#include "IniBatch.h"
#include "IniFileCache.h"
#include "LineItemGrid.h"
#include "NumberText.h"
#include "Platform.h"
#include "PoApplication.h"
#include "SheetArithmetic.h"
#include "SheetGroupBox.h"
#include "SheetImage.h"
#include "SheetJournal.h"
#include "SheetKeys.h"
#include "SheetLabel.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"
#include "TIniFile.h"
#include "TProgressControl.h"

#include <QLocale>
#include <QScopeGuard>

#include <utility>

namespace {

// Whatever way a save ends, the pointer and the progress window are back to normal.
class SaveScreenState
{
public:
    explicit SaveScreenState(TProgressControl *progress) : m_progress(progress)
    {
        platform().setBusyCursor(true);
    }
    ~SaveScreenState()
    {
        m_progress->Hide();
        platform().setBusyCursor(false);
    }
    SaveScreenState(const SaveScreenState &) = delete;
    SaveScreenState &operator=(const SaveScreenState &) = delete;

private:
    TProgressControl *m_progress;
};

constexpr int LabelPause = 100;
constexpr int GroupBoxPause = 200;

} // namespace

QString TPurchaseOrderForm::SheetFileName() const
{
    return FSheetFile ? FSheetFile->fileName() : QString();
}

void TPurchaseOrderForm::OpenSheetFile(const QString &path)
{
    FSheetFile = std::make_unique<TIniFile>(path);
    CaptionSaver1->SetIniFileName(path);
    FontSaver1->SetIniFileName(path);
    m_journal->Bind(FSheetFile->fullPath());
}

void TPurchaseOrderForm::LoadSheet()
{
    ReadSheet(*FontSaver1, *CaptionSaver1);
}

void TPurchaseOrderForm::SaveSheet()
{
    WriteSheet(*FontSaver1, *CaptionSaver1);
}

void TPurchaseOrderForm::ReadSheet(TFontSaver &fontStore, TCaptionSaver &captionStore)
{
    m_reading = true;
    const auto read = qScopeGuard([this] { m_reading = false; });
    IniFileCache::instance().newLoad(); // a file that cannot be read is tried once per load
    StringGrid1->SetFont(fontStore.ReadFont(SheetKeys::StringGrid1, SheetFields::windowFont()));
    for (int c = 0; c < SheetFields::GridColumns; ++c) {
        for (int r = 0; r < SheetFields::GridRows; ++r)
            StringGrid1->SetCell(c, r, captionStore.ReadText(SheetFields::TableKey(c, r)));
    }

    ProgressControl1->SetCaption(QStringLiteral("Loading %1...").arg(ExtractFileName(SheetFileName())));
    ProgressControl1->SetMax(int(m_components.size()));
    ProgressControl1->Show();
    repaint();

    for (QObject *component : m_components) {
        if (m_ending)
            return; // half read: nothing of it is compared, offered or saved
        const QString name = component->objectName();
        if (auto *label = qobject_cast<SheetLabel *>(component)) {
            label->OnMouseDown = [this](SheetLabel *l, QMouseEvent *e) { LabelMouseDown(l, e); };
            label->SetCaption(captionStore.ReadTextDefault(name, label->Caption()));
            label->SetFont(fontStore.ReadFont(name, label->Font()));
            label->ApplyEmptyTextRule();
            ProgressControl1->StepIt();
            platform().pause(LabelPause);
        } else if (auto *box = qobject_cast<SheetGroupBox *>(component)) {
            box->SetCaption(captionStore.ReadTextDefault(name, box->Caption()));
            box->SetFont(fontStore.ReadFont(name, box->Font()));
            ProgressControl1->StepIt();
            platform().pause(GroupBoxPause);
        }
    }
    ProgressControl1->Hide();

    readLogo(captionStore);
    FCurrencySymbol = CaptionSaver1->ReadTextDefault(SheetKeys::Currency, QString());
    FCurrencyCode = CaptionSaver1->ReadTextDefault(SheetKeys::Country, QString());

    // A file that is there but could not be read loaded as empty: the user hears why. Later,
    // as its load may run from the window's show event.
    QStringList problems;
    for (const TIniFile *file : {captionStore.IniFile(), fontStore.IniFile()}) {
        const QString problem = file ? file->readProblem() : QString();
        if (!problem.isEmpty() && !problems.contains(problem))
            problems << problem;
    }
    if (!problems.isEmpty())
        PoApplication::runCommandLater(this, [problems] { PoApplication::showError(problems.join(u'\n')); });
    m_journal->Loaded();
    PoApplication::runCommandLater(this, [this] { afterLoad(); });
}

void TPurchaseOrderForm::readLogo(TCaptionSaver &captionStore)
{
    setLogo(captionStore.ReadText(SheetKeys::Image1));
}

void TPurchaseOrderForm::setLogo(const QString &path)
{
    OpenPictureDialog1->FileName = path;
    showLogo(Image1->LoadPicture(path));
}

QStringList TPurchaseOrderForm::journalTexts() const
{
    QStringList texts{OpenPictureDialog1->FileName};
    for (int c = 0; c < SheetFields::GridColumns; ++c) {
        for (int r = 0; r < SheetFields::GridRows; ++r)
            texts << StringGrid1->Cell(c, r);
    }
    texts << Label(u"labelPONumber")->Caption() << Label(u"labelPODate")->Caption();
    return texts;
}

void TPurchaseOrderForm::afterLoad()
{
    if (m_ending)
        return;
    // One question after another, never one inside another's wait.
    tellOtherHolders();
    offerRecovery();
    if (std::exchange(m_offerLeftBehind, false))
        offerLeftBehind();
}

void TPurchaseOrderForm::tellOtherHolders()
{
    for (const RecoveryJournal::Holder &holder : m_journal->Holders()) {
        platform().messageBox(
            this, windowTitle(), // the program's title
            QStringLiteral("\"%1\" is open in another copy of this program too (process %2, running since %3)."
                           "\r\n\r\nWhat you type here is kept apart from what is typed there, but the "
                           "copy that saves last decides what the file holds.")
                .arg(m_journal->SheetPath())
                .arg(holder.pid)
                .arg(shownTime(holder.since)),
            MsgIcon::Warning, MsgButtons::Ok);
    }
}

QString TPurchaseOrderForm::shownTime(const QDateTime &utc)
{
    return QLocale::system().toString(utc.toLocalTime(), QLocale::ShortFormat);
}

void TPurchaseOrderForm::offerRecovery()
{
    const auto offer = m_journal->Pending();
    if (!offer)
        return; // another sheet was opened meanwhile
    QString text = QStringLiteral("Line items or a logo in \"%1\" were changed and not saved (last change: %2).")
                       .arg(m_journal->SheetPath(), shownTime(offer->contents.changed));
    int preferred = RecoverAnswer;
    if (offer->fileChanged()) {
        // Recovering would undo what someone else put into the file since: not the default.
        text += offer->fileNow.size < 0
                    ? QStringLiteral("\r\n\r\nThe file is no longer there.")
                    : QStringLiteral("\r\n\r\nThe file was changed after that (it is now dated %1).")
                          .arg(shownTime(offer->fileNow.modified));
        text += QStringLiteral(" Recovering puts the unsaved texts over what it holds now.");
        preferred = KeepAnswer;
    }
    text += QStringLiteral("\r\n\r\nRecover them into the window, keep them for the next time this order is "
                           "loaded, or discard them?");
    const std::optional<int> answer = platform().ask(this, windowTitle(), text, MsgIcon::Question,
                                                     RecoveryAnswers(), preferred);
    if (answer == DiscardAnswer) {
        m_journal->Declined();
        return;
    }
    if (answer != RecoverAnswer) {
        m_journal->KeptForLater(); // no answer is no "discard"
        return;
    }
    setLogo(offer->contents.texts.value(SheetJournal::LogoIndex));
    Label(u"labelPONumber")->SetCaption(offer->contents.texts.value(SheetJournal::PONumberIndex));
    Label(u"labelPODate")->SetCaption(offer->contents.texts.value(SheetJournal::PODateIndex));
    for (int c = 0; c < SheetFields::GridColumns; ++c) {
        for (int r = 0; r < SheetFields::GridRows; ++r)
            StringGrid1->SetCell(c, r, offer->contents.texts.value(1 + c * SheetFields::GridRows + r));
    }
    RefreshTableTotals();
    m_journal->Recovered();
}

const QStringList &TPurchaseOrderForm::RecoveryAnswers()
{
    static const QStringList answers{QStringLiteral("&Recover"), QStringLiteral("&Keep for Later"),
                                     QStringLiteral("&Discard")};
    return answers;
}

void TPurchaseOrderForm::offerLeftBehind()
{
    // Work that earlier runs left in other orders is not hidden behind the one opened now.
    for (const auto &[sheet, changed] : RecoveryJournal::leftBehind(m_journal->SheetPath())) {
        const std::optional<int> answer = platform().ask(
            this, windowTitle(),
            QStringLiteral("Line items or a logo in \"%1\" were changed and not saved (last change: %2).\r\n\r\n"
                           "Open that order now to recover them, keep them for later, or discard them?")
                .arg(sheet, shownTime(changed)),
            MsgIcon::Question, {QStringLiteral("&Open"), QStringLiteral("&Keep for Later"), QStringLiteral("&Discard")},
            KeepAnswer);
        if (answer == DiscardAnswer) {
            SheetJournal::DiscardLeftBehind(sheet);
        } else if (answer == 0 && OpenOrderCommand) {
            OpenOrderCommand(sheet); // its own question follows its load
            return;
        }
    }
}

bool TPurchaseOrderForm::HasUnsavedTexts() const
{
    return m_journal->HasUnsaved();
}

void TPurchaseOrderForm::DiscardRecovery()
{
    m_journal->Discard();
}

void TPurchaseOrderForm::ForgetRecoveryOf(const QString &sheetFileName)
{
    const QString path = TIniFile(sheetFileName).fullPath();
    if (path != m_journal->SheetPath())
        RecoveryJournal::remove(path); // this copy's own; another copy's work stays its own
}

void TPurchaseOrderForm::SyncRecovery()
{
    m_journal->Flush();
}

bool TPurchaseOrderForm::SaveKeepsBlankSheet() const
{
    const QString fileName = SheetFileName();
    if (ExtractFileName(fileName).toLower() != u"blank.ini")
        return false;
    const QStringList chosen = LastChosenSheetFiles ? LastChosenSheetFiles() : QStringList();
    return !chosen.contains(fileName, Qt::CaseSensitive);
}

void TPurchaseOrderForm::WriteSheet(TFontSaver &fontStore, TCaptionSaver &captionStore)
{
    const QString fileName = SheetFileName();
    if (SaveKeepsBlankSheet())
        return; // the start-up blank sheet is kept unless the user picked it

    SaveScreenState screen(ProgressControl1);
    // The whole sheet reaches its files in one atomic replacement each, so a failed save
    // leaves every file as it was instead of half written.
    IniBatch batch;
    captionStore.SaveText(SheetKeys::Image1, OpenPictureDialog1->FileName);
    fontStore.SaveFont(SheetKeys::StringGrid1, StringGrid1->Font());

    const QChar sep = decimalSeparator();
    Label(u"Label17")->SetCaption(NumberText::format(TaxTotal(), sep));
    Label(u"Label19")->SetCaption(NumberText::format(BalanceDue(), sep));

    ProgressControl1->SetCaption(QStringLiteral("Saving %1...").arg(ExtractFileName(fileName)));
    ProgressControl1->SetMax(int(m_components.size()) + SheetFields::GridColumns * SheetFields::GridRows);
    ProgressControl1->Show();
    repaint();

    for (QObject *component : m_components) {
        ProgressControl1->StepIt();
        if (const SheetFont *font = ComponentFontOf(component)) {
            QString text;
            ComponentTextOf(component, text);
            captionStore.SaveText(component->objectName(), text);
            fontStore.SaveFont(component->objectName(), *font);
        }
    }
    for (int c = 0; c < SheetFields::GridColumns; ++c) {
        for (int r = 0; r < SheetFields::GridRows; ++r) {
            ProgressControl1->StepIt();
            captionStore.SaveText(SheetFields::TableKey(c, r), StringGrid1->Cell(c, r));
        }
    }
    batch.commit();
    m_journal->Saved();
}

long double TPurchaseOrderForm::LineItemsTotal() const
{
    return SheetArithmetic::LineItemsTotal(StringGrid1->Column(SheetFields::ExtendedColumn),
                                           decimalSeparator());
}

long double TPurchaseOrderForm::TaxTotal() const
{
    const auto read = [this](const QString &section) { return CaptionSaver1->ReadText(section); };
    return SheetArithmetic::TaxTotal(read, Label(u"Label16")->Caption(),
                                     StringGrid1->Column(SheetFields::ExtendedColumn),
                                     decimalSeparator());
}

long double TPurchaseOrderForm::BalanceDue()
{
    SheetLabel *fields[] = {Label(u"Label14"), Label(u"Label15"), Label(u"Label16"),
                            Label(u"Label17"), Label(u"Label18")};
    SheetArithmetic::FooterAmounts a{fields[0]->Caption(), fields[1]->Caption(),
                                     fields[2]->Caption(), fields[3]->Caption(),
                                     fields[4]->Caption()};
    const long double sum = SheetArithmetic::BalanceDue(a, decimalSeparator());
    const QString *texts[] = {&a.subtotal, &a.discounts, &a.shipping, &a.tax, &a.credited};
    for (int i = 0; i < 5; ++i)
        fields[i]->SetCaption(*texts[i]);
    return sum;
}

QString TPurchaseOrderForm::FormatAmount(const SheetLabel *label) const
{
    return SheetArithmetic::FormatAmount(label->Caption(), decimalSeparator());
}
