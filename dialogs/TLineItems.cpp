#include "TLineItems.h"

#include "FontConvert.h"
#include "LineItemGrid.h"
#include "Platform.h"
#include "SheetKeys.h"
#include "TFontSaver.h"
#include "TPurchaseOrderForm.h"

#include <QPushButton>

TLineItems::TLineItems(TPurchaseOrderForm *sheet, int row)
    : QDialog(sheet->StringGrid1, Qt::Tool | Qt::WindowCloseButtonHint), m_sheet(sheet), m_row(row)
{
    setObjectName(QStringLiteral("LineItems"));
    setFont(FontConvert::toQFont(SheetFont{}));
    setFixedSize(277, 38);
    BitBtn2 = new QPushButton(QStringLiteral("Clear &Row"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(3, 8, 90, 25);
    BitBtn3 = new QPushButton(QStringLiteral("&Set Font..."), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(94, 8, 90, 25);
    BitBtn1 = new QPushButton(QStringLiteral("&Close"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(184, 8, 90, 25);
    connect(BitBtn2, &QPushButton::clicked, this, &TLineItems::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TLineItems::BitBtn3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TLineItems::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TLineItems::FormShow()
{
    BitBtn2->setEnabled(!m_sheet->StringGrid1->Cell(SheetFields::QuantityColumn, m_row).isEmpty());
}

void TLineItems::BitBtn2Click()
{
    for (int c = 0; c < SheetFields::GridColumns; ++c)
        m_sheet->StringGrid1->SetCell(c, m_row, QString());
    m_sheet->RefreshTableTotals();
}

void TLineItems::BitBtn3Click()
{
    SheetFont font = m_sheet->StringGrid1->Font();
    if (!platform().chooseFont(this, font))
        return;
    m_sheet->StringGrid1->SetFont(font);
    m_sheet->FontSaver1->SaveFont(SheetKeys::StringGrid1, font);
}
