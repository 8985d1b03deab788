#include "FontConvert.h"
#include "TExitForm.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

TExitForm::TExitForm(QWidget *owner) : QDialog(owner, Qt::Tool | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ExitForm"));
    setWindowTitle(QStringLiteral("Pelmora PO Form"));
    setFont(FontConvert::toQFont(SheetFont{})); // the dialog font, MS Sans Serif 8 pt
    setFixedSize(248, 75);
    CheckBox1 = new QCheckBox(QStringLiteral("Save current file before exiting..."), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(18, 10, 185, 17);
    CheckBox1->setChecked(true);
    BitBtn2 = new QPushButton(QStringLiteral("E&xit Program"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(18, 40, 93, 25);
    BitBtn3 = new QPushButton(QStringLiteral("&Cancel"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(137, 40, 93, 25);
    // Neither button is the default: Enter presses the focused one.
    for (QPushButton *b : {BitBtn2, BitBtn3}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, CheckBox1);
    BitBtn2->setFocus();
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TExitForm::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        return; // Escape does nothing here
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *b = qobject_cast<QPushButton *>(focusWidget()))
            b->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
