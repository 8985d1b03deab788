#include "TVerificationForm.h"

#include "FontConvert.h"
#include "SheetKeys.h"
#include "TIniFile.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TVerificationForm::TVerificationForm(QWidget *owner, TIniFile *sheetFile)
    : ApplyOnCloseDialog(owner, Qt::Tool | Qt::WindowCloseButtonHint), m_sheetFile(sheetFile)
{
    setObjectName(QStringLiteral("VerificationForm"));
    setFont(FontConvert::toQFont(SheetFont{}));
    setFixedSize(353, 118);
    Label1 = new QLabel(QStringLiteral("Check the purchase order number and make any necessary "
                                       "changes before printing."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(11, 15, 329, 26);
    Label1->setWordWrap(true);
    CheckBox1 = new QCheckBox(QStringLiteral("Do not show this message when printing  P.O. %s"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(11, 66, 332, 17);
    BitBtn1 = new QPushButton(QIcon(QStringLiteral(":/icons/print.svg")), QStringLiteral("&Print"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(192, 88, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QIcon(QStringLiteral(":/icons/edit.svg")), QStringLiteral("&Edit"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(86, 88, 75, 25);
    BitBtn2->setAutoDefault(false);
    setTabOrder(CheckBox1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    CheckBox1->setFocus();
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &TVerificationForm::BitBtn2Click);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TVerificationForm::BitBtn2Click()
{
    reject();
}

void TVerificationForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return; // no button answers Escape
    QDialog::keyPressEvent(event);
}

void TVerificationForm::FormClose()
{
    m_sheetFile->writeBool(SheetKeys::PONumber, SheetKeys::NoShow, CheckBox1->isChecked());
}
