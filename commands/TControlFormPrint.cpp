// The Print command: a warning of lines the total leaves out, optional tax and PO number
// checks, the save, and the preview.

#include "TControlForm.h"

#include "GenUtils.h"

#include "LineItemGrid.h"
#include "Platform.h"
#include "ReportPreview.h"
#include "SheetArithmetic.h"
#include "SheetFields.h"
#include "SheetKeys.h"
#include "SheetLabel.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"
#include "TIniFile.h"
#include "TPurchaseOrderForm.h"
#include "TPurchaseOrderReport.h"
#include "TVerificationForm.h"

#include <QCheckBox>
#include <QRegularExpression>

namespace {

// An e-mail address, whole: what a text of the vendor's frame must be to be the recipient.
// Characters a mail program or a shell could take for more than an address are not taken.
bool isMailAddress(const QString &text)
{
    static const QRegularExpression address(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._%+-]*@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+$"));
    return address.match(text).hasMatch();
}

} // namespace

QString TControlForm::vendorAddress() const
{
    // The vendor's name, address, city and phone-or-e-mail lines, in their order on the sheet.
    for (const char16_t *line : {u"Label41", u"Label42", u"Label43", u"Label44"}) {
        const QString text = m_sheet->Label(QStringView(line))->Caption().trimmed();
        if (isMailAddress(text))
            return text;
    }
    return QString();
}

bool TControlForm::printUncountedLines()
{
    const QList<SheetArithmetic::UncountedCell> cells =
        SheetArithmetic::UncountedCells(m_sheet->StringGrid1->Rows(), platform().decimalSeparator());
    if (cells.isEmpty())
        return true;
    QStringList lines;
    for (const SheetArithmetic::UncountedCell &c : cells) {
        const QString heading = m_sheet->Label(SheetFields::ColumnHeading(c.column))->Caption().trimmed();
        lines << QStringLiteral("Line %1: %2 \"%3\" is not a number.").arg(c.row + 1).arg(heading, c.text);
    }
    const QString text =
        lines.join(QStringLiteral("\r\n")) +
        QStringLiteral("\r\n\r\nThese lines have no amount and are left out of the subtotal: they print "
                       "without an amount, or not at all. Print anyway, or go back to correct them?");
    // Only "Print Anyway" prints: Return, Escape and the close box go back to the sheet.
    const std::optional<int> answer =
        platform().ask(m_sheet, QStringLiteral("Lines Left Out of the Total"), text, MsgIcon::Warning,
                       {QStringLiteral("&Print Anyway"), QStringLiteral("&Go Back")}, 1);
    return answer == 0;
}

void TControlForm::BitBtn1Click()
{
    if (m_preview) {
        m_preview->raise();
        m_preview->activateWindow();
        return;
    }
    if (!printUncountedLines())
        return;
    // The save before the preview would keep the order nowhere on the blank sheet.
    if (!nameBlankOrder())
        return;
    const QString number = m_sheet->Label(u"labelPONumber")->Caption();
    TPurchaseOrderReport report(m_sheet->SheetFileName());
    // The stores that the checks and the report read are bound to the sheet file anew.
    TCaptionSaver *captions = m_sheet->CaptionSaver1;
    captions->SetIniFile(std::make_unique<TIniFile>(m_sheet->SheetFileName()));
    report.FontSaver1->SetIniFile(std::make_unique<TIniFile>(m_sheet->SheetFileName()));
    captions->SetIniPath(UserPath);
    report.FontSaver1->SetIniPath(UserPath);

    if (!captions->IniFile()->readBool(SheetKeys::TaxForm, SheetKeys::NoShow, false))
        btnTaxClick();
    if (!captions->IniFile()->readBool(SheetKeys::PONumber, SheetKeys::NoShow, false)) {
        TVerificationForm check(m_sheet, captions->IniFile());
        check.setWindowTitle(QStringLiteral("Using %1 as PO Number").arg(number));
        const QString current = m_sheet->Label(u"labelPONumber")->Caption();
        check.CheckBox1->setText(check.CheckBox1->text().replace(QStringLiteral("%s"), current));
        if (platform().execModal(&check) != QDialog::Accepted)
            m_sheet->LabelSetValue(m_sheet->Label(u"labelPONumber"));
    }
    m_sheet->SaveSheet();
    report.LineItems = m_sheet->StringGrid1->Rows();
    report.QuickRep1.title = QStringLiteral("Pelmora PO Form: PO Number %1 Printout").arg(number);
    // The PDF and the mail are named after the number on the page: the check may just have
    // changed it.
    const QString printed = m_sheet->Label(u"labelPONumber")->Caption();
    const MailOrder mail{vendorAddress(), QStringLiteral("Purchase Order %1").arg(printed.simplified())};
    ReportPreview preview(report.QuickRep1, FileNameFromText(printed) + QStringLiteral(".pdf"), m_sheet, mail);
    m_preview = &preview;
    platform().runPreview(&preview);
}
