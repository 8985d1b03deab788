// The command panel's sheet commands: taxes, Save PO As and Load PO.

#include "TControlForm.h"

#include "AppError.h"
#include "GenUtils.h"
#include "IniBatch.h"
#include "LineItemGrid.h"
#include "NumberText.h"
#include "Platform.h"
#include "PoApplication.h"
#include "RecentFiles.h"
#include "SheetKeys.h"
#include "SheetLabel.h"
#include "StartupSheet.h"
#include "TCaptionSaver.h"
#include "TFileDialog.h"
#include "TFontSaver.h"
#include "TIniFile.h"
#include "TPurchaseOrderForm.h"
#include "TTaxForm.h"

#include <QCheckBox>
#include <QFileInfo>

namespace {

// The stores of one Save As or Load, made from the file chosen in its dialog: texts in the
// chosen file, fonts in its companion font file.
struct ChosenFileStores
{
    ChosenFileStores(QObject *dialog, const QString &chosen) : texts(dialog, chosen), fonts(dialog, chosen)
    {
        texts.SetIniPath(UserPath);
        fonts.SetIniPath(UserPath);
    }
    TCaptionSaver texts;
    TFontSaver fonts;
};

// The order's own settings that its texts do not hold: the tax percentages and the currency.
// Save PO As takes them along, or the new file would show and print the same rows untaxed.
// Nothing stands for a setting the order does not have.
using OrderSettings = std::vector<std::pair<QString, std::optional<QString>>>;

const QString NoText = QStringLiteral("\x01"); // no text of a file holds it

std::optional<QString> storedText(TCaptionSaver &texts, const QString &section)
{
    const QString text = texts.ReadTextDefault(section, NoText);
    return text == NoText ? std::nullopt : std::optional<QString>(text);
}

OrderSettings orderSettings(TPurchaseOrderForm &sheet)
{
    const auto shown = [](const QString &text) {
        return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
    };
    OrderSettings settings{{SheetKeys::Currency, shown(sheet.CurrencySymbol())},
                           {SheetKeys::Country, shown(sheet.CurrencyCode())},
                           {SheetKeys::TaxOnShipping, storedText(*sheet.CaptionSaver1, SheetKeys::TaxOnShipping)}};
    for (int row = 0; row < SheetFields::GridRows; ++row) // every row the tax total reads
        settings.emplace_back(SheetKeys::TaxOnRow(row), storedText(*sheet.CaptionSaver1, SheetKeys::TaxOnRow(row)));
    return settings;
}

// The chosen file gets the order's settings; one the order lacks is emptied there, not kept.
void carrySettings(const OrderSettings &settings, TCaptionSaver &texts)
{
    for (const auto &[section, value] : settings) {
        if (value || storedText(texts, section))
            texts.SaveText(section, value.value_or(QString()));
    }
}

} // namespace

void TControlForm::btnTaxClick()
{
    TCaptionSaver *captions = m_sheet->CaptionSaver1;
    TTaxForm form(m_sheet, captions->IniFile());
    EditTextGrid *grid = form.StringGrid1;
    for (int a = 1; a <= 8; ++a) {
        grid->SetCell(0, a, m_sheet->StringGrid1->Cell(SheetFields::ProductColumn, a - 1));
        if (grid->Cell(0, a).trimmed().isEmpty())
            continue;
        const QString stored = captions->ReadTextDefault(SheetKeys::TaxOnRow(a - 1), QStringLiteral("0.00"));
        grid->SetCell(1, a, stored.trimmed().isEmpty() ? QStringLiteral("0.00") : stored);
    }
    grid->SetCell(0, TTaxForm::ShippingRow, m_sheet->Label(u"Label10")->Caption());
    grid->SetCell(1, TTaxForm::ShippingRow,
                  captions->ReadTextDefault(SheetKeys::TaxOnShipping, QStringLiteral("0.0")));
    form.CheckBox1->setText(QStringLiteral("Do not show this again when printing P.O. %1")
                                .arg(captions->ReadTextDefault(QStringLiteral("labelPONumber"), QString())));
    platform().execModal(&form);
    form.FinishChecks();
    form.done(form.result()); // however it was closed, the flag and the percentages are stored

    {
        IniBatch batch; // all nine percentages reach the file together
        for (int a = 1; a <= 8; ++a) {
            const QString value = grid->Cell(1, a);
            captions->SaveText(SheetKeys::TaxOnRow(a - 1), value == u"0.00" ? QString() : value);
        }
        captions->SaveText(SheetKeys::TaxOnShipping, grid->Cell(1, TTaxForm::ShippingRow));
        batch.commit();
    }
    captions->IniFile()->flush();
    const QChar sep = platform().decimalSeparator();
    m_sheet->Label(u"Label17")->SetCaption(NumberText::format(m_sheet->TaxTotal(), sep));
    m_sheet->Label(u"Label19")->SetCaption(NumberText::format(m_sheet->BalanceDue(), sep));
}

namespace {

// The orders of the desktop's recent files that this program used, for the file dialogs.
constexpr int RecentOrders = 10;

QStringList recentOrders()
{
    return RecentFiles::used(RecentFiles::listPath(), RecentOrders);
}

// An order opened or saved joins the desktop's recent files. The list is a convenience: when
// it cannot be written, the order is no less saved, and nothing is said.
void rememberOrder(const QString &path)
{
    RecentFiles::add(RecentFiles::listPath(), path, RecentFiles::OrderMimeType, platform().now());
}

} // namespace

bool TControlForm::BitBtn3Click()
{
    SaveDialog1->Options.initialDir = ExtractFilePath(m_sheet->SheetFileName());
    SaveDialog1->Options.recent = recentOrders();
    if (SaveDialog1->FileName.isEmpty())
        SaveDialog1->FileName = FileNameFromText(m_sheet->Label(u"labelPONumber")->Caption()) + QStringLiteral(".pof");
    do {
        if (!SaveDialog1->ExecuteSave(this))
            return false;
    } while (!mayReplace(SaveDialog1->FileName));
    const QString chosen = SaveDialog1->FileName;
    const QString previous = m_sheet->SheetFileName();
    const OrderSettings settings = orderSettings(*m_sheet);
    if (previous != chosen) {
        // A sheet whose own file cannot be written is what Save As is for: say so and save.
        try {
            m_sheet->SaveSheet();
        } catch (const AppError &e) {
            PoApplication::showError(e.message());
        }
    }
    m_sheet->OpenSheetFile(chosen);
    {
        ChosenFileStores stores(SaveDialog1, chosen);
        // Chosen on purpose: a file there that could not be read is replaced whole.
        stores.texts.IniFile()->startAfresh();
        stores.fonts.IniFile()->startAfresh();
        IniBatch batch; // the settings count in the tax the sheet's save computes
        carrySettings(settings, stores.texts);
        m_sheet->WriteSheet(stores.fonts, stores.texts);
        batch.commit();
    }
    // The order is saved whole: what the earlier file's journal kept is in the chosen file.
    m_sheet->ForgetRecoveryOf(previous);
    rememberOrder(chosen);
    const MsgResult answer = platform().messageBox(
        this, ExtractFileName(chosen) + QStringLiteral(" Saved..."),
        QStringLiteral("Automatically load this file next\n\rtime Pelmora PO Form is opened?"),
        MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgResult::Yes)
        return true;
    TIniFile *config = m_sheet->ConfigFile();
    config->writeBool(StartupSheet::Section, StartupSheet::AutoLoad, true);
    config->writeString(StartupSheet::Section, StartupSheet::AutoLoadFile, chosen);
    return true;
}

bool TControlForm::mayReplace(const QString &chosen)
{
    // Another order of that name is not replaced without a question; the open one is the
    // file Save As writes anyway.
    if (chosen == m_sheet->SheetFileName() || !QFileInfo::exists(chosen))
        return true;
    return platform().messageBox(this, QStringLiteral("Confirm Save As"),
                                 QStringLiteral("\"%1\" already exists.\r\nDo you want to replace it?")
                                     .arg(ExtractFileName(chosen)),
                                 MsgIcon::Question, MsgButtons::YesNoDefaultNo) == MsgResult::Yes;
}

void TControlForm::BitBtn2Click()
{
    const MsgResult answer = platform().messageBox(
        this, QStringLiteral("Save Current File"),
        QStringLiteral("Save \"%1\" before loading.").arg(ExtractFileName(m_sheet->SheetFileName())),
        MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgResult::Yes && !saveOrder())
        return; // back to the sheet as it was
    OpenDialog1->Options.initialDir = ExtractFilePath(m_sheet->SheetFileName());
    OpenDialog1->Options.recent = recentOrders();
    if (!OpenDialog1->ExecuteOpen(this))
        return;
    if (answer != MsgResult::Yes)
        m_sheet->DiscardRecovery(); // the user's own "do not save", now that another sheet comes
    loadOrder(OpenDialog1->FileName);
}

void TControlForm::loadOrder(const QString &chosen)
{
    hide();
    m_sheet->OpenSheetFile(chosen);
    ChosenFileStores stores(OpenDialog1, chosen);
    m_sheet->ReadSheet(stores.fonts, stores.texts);
    rememberOrder(chosen);
}
