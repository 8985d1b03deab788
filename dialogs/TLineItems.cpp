#include "TLineItems.h"

#include "FontConvert.h"
#include "Platform.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleHints>

TLineItems::TLineItems(QWidget *table, int row, bool rowFilled, const SheetFont &tableFont)
    : QDialog(table, Qt::Tool | Qt::WindowCloseButtonHint), m_row(row), m_rowFilled(rowFilled),
      m_font(tableFont)
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

void TLineItems::IgnoreClicksNear(const OpeningClick &click)
{
    (new ClickGuard(click, this))->watch(this);
}

void TLineItems::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TLineItems::FormShow()
{
    BitBtn2->setEnabled(m_rowFilled);
}

void TLineItems::BitBtn2Click()
{
    if (OnClearRow)
        OnClearRow();
}

void TLineItems::BitBtn3Click()
{
    SheetFont font = m_font;
    if (!platform().chooseFont(this, font))
        return;
    m_font = font;
    if (OnTableFont)
        OnTableFont(font);
}
