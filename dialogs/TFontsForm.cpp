#include "TFontsForm.h"

#include "FontConvert.h"
#include "IniDocument.h"
#include "Platform.h"
#include "SheetKeys.h"
#include "TCaptionSaver.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

// The currency menu: code, then the symbol it puts in the symbol box.
const std::pair<const char *, const char16_t *> Currencies[] = {
    {"USD", u"$"}, {"CAD", u"$"}, {"GBP", u"£"}, {"EUR", u"€"},
    {"AUD", u"S"}, {"NZD", u"S"}, {"SEK", u"kr"}, {"ZAR", u"R"},
};

} // namespace

TFontsForm::TFontsForm(QWidget *owner, bool footerValue, TCaptionSaver &captions)
    : ApplyOnCloseDialog(owner, Qt::Tool | Qt::WindowCloseButtonHint), m_footerValue(footerValue),
      m_captions(captions)
{
    setObjectName(QStringLiteral("FontsForm"));
    setWindowTitle(QStringLiteral("Label Settings Form"));
    setFont(FontConvert::toQFont(SheetFont{}));
    setFixedSize(251, 91);
    if (footerValue) // only an amount has a currency
        setToolTip(QStringLiteral("Right-click to select a currency"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(12, 12, 229, 21);
    Edit1->setMaxLength(IniDocument::MaxValueLength); // no more than a file gives back
    CheckBox1 = new QCheckBox(QStringLiteral("Use Currency Symbol"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(13, 39, 141, 17);
    Edit2 = new QLineEdit(QStringLiteral("$"), this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(162, 37, 79, 21);
    Edit2->setMaxLength(IniDocument::MaxValueLength);
    Edit2->setAccessibleName(QStringLiteral("Currency Symbol"));
    BitBtn1 = new QPushButton(QStringLiteral("Set Font..."), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(37, 62, 75, 25);
    BitBtn2 = new QPushButton(QStringLiteral("&Close"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(142, 62, 75, 25);
    BitBtn2->setDefault(true);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setToolTipsVisible(true);
    for (const auto &[code, symbol] : Currencies) {
        QAction *item = PopupMenu1->addAction(QString::fromLatin1(code));
        item->setObjectName(QString::fromLatin1(code) + u'1');
        item->setToolTip(QString::fromUtf16(symbol));
    }
    connect(PopupMenu1, &QMenu::triggered, this, &TFontsForm::CurrencyMenu);
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(CheckBox1),
                       static_cast<QWidget *>(Edit2)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &at) { PopupMenu1->popup(w->mapToGlobal(at)); });
    }
    connect(BitBtn1, &QPushButton::clicked, this, &TFontsForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(CheckBox1, &QCheckBox::toggled, this, &TFontsForm::CheckBox1Click);
}

void TFontsForm::SetTextFont(const SheetFont &font)
{
    m_font = font;
    FontConvert::apply(Edit1, font, QPalette::Text);
    // The text is shown as on the sheet, in its own colour on the sheet's white, whatever the
    // desktop's theme: a dark theme's field would swallow the usual black text.
    QPalette p = Edit1->palette();
    p.setColor(QPalette::Base, Qt::white);
    Edit1->setPalette(p);
}

void TFontsForm::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TFontsForm::FormShow()
{
    CheckBox1->setVisible(m_footerValue);
    Edit2->setText(m_captions.ReadTextDefault(SheetKeys::Currency, QString()));
    {
        // A stored symbol ticks the box, which is not the user ticking it: the keyboard
        // stays in the text box, or an amount typed at once would become the symbol.
        const QSignalBlocker quiet(CheckBox1);
        CheckBox1->setChecked(!Edit2->text().isEmpty());
    }
    Edit2->setVisible(m_footerValue && CheckBox1->isChecked());
    // A screen reader names the text box after the dialog's title ("Enter Company Name").
    Edit1->setAccessibleName(windowTitle());
    Edit1->setFocus();
}

void TFontsForm::BitBtn1Click()
{
    SheetFont font = m_font;
    if (platform().chooseFont(this, font))
        SetTextFont(font);
}

void TFontsForm::CheckBox1Click()
{
    Edit2->setVisible(CheckBox1->isVisibleTo(this) && CheckBox1->isChecked());
    if (Edit2->isVisibleTo(this))
        Edit2->setFocus();
}

void TFontsForm::CurrencyMenu(QAction *item)
{
    m_captions.SaveText(SheetKeys::Country, item->text());
    Edit2->setText(item->toolTip());
}

void TFontsForm::FormClose()
{
    if (OnClose)
        OnClose(Edit1->text(), m_font);
    m_storedSymbol = CheckBox1->isChecked() ? Edit2->text() : QString(); // the caller stores it
}
