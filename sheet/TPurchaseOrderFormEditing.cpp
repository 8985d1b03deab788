// Editing the sheet in place: texts and fonts of labels and group boxes, font groups, the
// line-item table and the totals that follow it.

#include "TPurchaseOrderForm.h"

#include "IniBatch.h"
#include "LineItemGrid.h"
#include "NumberText.h"
#include "Platform.h"
#include "ScreenPlace.h"
#include "SheetArithmetic.h"
#include "SheetGroupBox.h"
#include "SheetJournal.h"
#include "SheetKeys.h"
#include "SheetLabel.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"
#include "TFontsForm.h"
#include "TLineItems.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

const QString FooterFontsQuestion =
    QStringLiteral("to set the \"Footer Values\" fonts.");

} // namespace

void TPurchaseOrderForm::LabelSetValue(QObject *sender)
{
    auto *label = qobject_cast<SheetLabel *>(sender);
    auto *box = qobject_cast<SheetGroupBox *>(sender);
    if (!label && !box)
        return;
    const QString name = sender->objectName();
    QString storedSymbol;
    {
        TFontsForm dialog(static_cast<QWidget *>(sender),
                          label && label->Tag() == SheetFields::FooterValuesTag, *CaptionSaver1);
        QString text;
        ComponentTextOf(sender, text);
        dialog.Edit1->setText(text);
        dialog.SetTextFont(*ComponentFontOf(sender));
        dialog.setWindowTitle(QStringLiteral("Enter %1").arg(label ? label->Hint() : box->Hint()));
        dialog.move(OnScreen({FDialogLeft, FDialogTop}, dialog.size(), platform().screenSize()));
        dialog.OnClose = [label, box](const QString &text, const SheetFont &font) {
            if (label) {
                label->SetCaption(text);
                label->SetFont(font);
            } else {
                box->SetCaption(text);
                box->SetFont(font);
            }
        };
        platform().execModal(&dialog); // closing it in any way applies the edit
        storedSymbol = dialog.StoredSymbol();
    }
    FCurrencySymbol = storedSymbol;

    // The currency, the font and the text (and the group's fonts) reach the file as one
    // replacement: an edit is never found half stored.
    IniBatch batch;
    CaptionSaver1->SaveText(SheetKeys::Currency, storedSymbol);

    // The text as typed is recorded, before a money field is re-formatted.
    FontSaver1->SetFont(*ComponentFontOf(sender));
    FontSaver1->WriteFont(name);
    QString text;
    ComponentTextOf(sender, text);
    CaptionSaver1->SetText(text);
    CaptionSaver1->WriteText(name);
    m_journal->LabelChanged(name); // before a failed write can leave it behind

    if (label) {
        label->SetColor(Colors::White);
        if (label->Tag() == SheetFields::FooterValuesTag)
            label->SetCaption(FormatAmount(label));
        label->ApplyEmptyTextRule();
        ApplyGroupFont(label);
    } else {
        ApplyGroupBoxFont(box);
    }
    batch.commit();
    Label(u"Label19")->SetCaption(
        NumberText::format(BalanceDue(), decimalSeparator(), FCurrencySymbol));
    static_cast<QWidget *>(sender)->parentWidget()->repaint();
    repaint();
}

void TPurchaseOrderForm::LabelSetFont(SheetLabel *sender)
{
    SheetFont font = sender->Font();
    if (platform().chooseFont(this, font))
        sender->SetFont(font);
    ApplyGroupFont(sender);
}

void TPurchaseOrderForm::CalculatedValue(SheetLabel *sender)
{
    const MsgResult answer = platform().messageBox(
        this, QStringLiteral("Cannot Edit ") + sender->Hint(),
        QStringLiteral("This is a calculated value. Click OK\r\n") + FooterFontsQuestion,
        MsgIcon::Information, MsgButtons::OkCancel);
    if (answer == MsgResult::Ok)
        LabelSetFont(sender);
}

void TPurchaseOrderForm::Label17Click(SheetLabel *sender)
{
    if (TaxCommand)
        TaxCommand();
    const MsgResult answer = platform().messageBox(
        this, sender->Hint() + QStringLiteral(" Updated"),
        QStringLiteral("Percentages updated. Tax calculated. Click OK\r\n") + FooterFontsQuestion,
        MsgIcon::Information, MsgButtons::OkCancel);
    if (answer == MsgResult::Ok)
        LabelSetFont(sender);
}

// Every component of the source's kind and tag takes its font, recorded under its name.
template <class Field>
void TPurchaseOrderForm::applyFontToGroup(Field *source)
{
    const SheetFont font = source->Font();
    IniBatch batch;
    for (QObject *c : m_components) {
        auto *field = qobject_cast<Field *>(c);
        if (!field || field->Tag() != source->Tag())
            continue;
        field->SetFont(font);
        FontSaver1->SetFont(font);
        FontSaver1->WriteFont(field->objectName());
    }
    batch.commit();
}

void TPurchaseOrderForm::ApplyGroupFont(SheetLabel *source)
{
    applyFontToGroup(source);
}

void TPurchaseOrderForm::ApplyGroupBoxFont(SheetGroupBox *source)
{
    applyFontToGroup(source);
}

void TPurchaseOrderForm::StringGrid1SelectCell(int, int row)
{
    if (row < 0)
        return;
    FCurrentRow = row;
    const QPoint grid = sheetPos(StringGrid1);
    FDialogLeft = grid.x() + x();
    FDialogTop = grid.y() + y();
}

void TPurchaseOrderForm::StringGrid1SetEditText(int column, int row)
{
    if (SheetArithmetic::AffectsExtended(column)) {
        StringGrid1->SetCell(SheetFields::ExtendedColumn, row,
                             SheetArithmetic::ExtendedAmount(
                                 StringGrid1->Cell(SheetFields::QuantityColumn, row),
                                 StringGrid1->Cell(SheetFields::UnitPriceColumn, row),
                                 decimalSeparator()));
    }
    RefreshTableTotals();
    m_journal->Changed(); // the cell reaches the file with the next save; the journal keeps it till then
}

void TPurchaseOrderForm::RefreshTableTotals()
{
    const QChar sep = decimalSeparator();
    Label(u"Label14")->SetCaption(NumberText::format(LineItemsTotal(), sep));
    Label(u"Label17")->SetCaption(NumberText::format(TaxTotal(), sep));
    Label(u"Label19")->SetCaption(NumberText::format(BalanceDue(), sep));
}

void TPurchaseOrderForm::StringGridDoubleClick(const std::optional<TLineItems::OpeningClick> &click)
{
    const int row = FCurrentRow;
    TLineItems dialog(StringGrid1, row,
                      !StringGrid1->Cell(SheetFields::QuantityColumn, row).isEmpty(), StringGrid1->Font());
    dialog.OnClearRow = [this, row] {
        for (int c = 0; c < SheetFields::GridColumns; ++c)
            StringGrid1->SetCell(c, row, QString());
        RefreshTableTotals();
        m_journal->Changed();
    };
    dialog.OnTableFont = [this](const SheetFont &font) {
        StringGrid1->SetFont(font);
        FontSaver1->SaveFont(SheetKeys::StringGrid1, font);
    };
    if (click)
        dialog.IgnoreClicksNear(*click);
    dialog.move(OnScreen({FDialogLeft, FDialogTop}, dialog.size(), platform().screenSize()));
    dialog.BitBtn2->setText(QStringLiteral("Clear Row &%1").arg(FCurrentRow + 1));
    dialog.setWindowTitle(StringGrid1->Cell(SheetFields::QuantityColumn, FCurrentRow).isEmpty()
                              ? QStringLiteral("Set Font for Line Items Group")
                              : QStringLiteral("Modify a Purchase Order Line Item"));
    platform().execModal(&dialog);
}
