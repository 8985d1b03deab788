#include "TAboutForm.h"

#include "Platform.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

TAboutForm::TAboutForm(const QString &version, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(300, 130);
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/panel.svg")).pixmap(32, 32));
    icon->setGeometry(16, 16, 32, 32);
    ProductName = new QLabel(QStringLiteral("Pelmora Purchase Order Form"), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    ProductName->setGeometry(64, 16, 220, 18);
    Version = new QLabel(QStringLiteral("v. %1").arg(version), this);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setGeometry(64, 38, 220, 16);
    HelpButton = new QToolButton(this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setIcon(QIcon(QStringLiteral(":/icons/help.svg")));
    HelpButton->setToolTip(QStringLiteral("Open P.O. Form Help File"));
    HelpButton->setGeometry(16, 90, 25, 25);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(112, 90, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(HelpButton, &QToolButton::clicked, this,
            [] { platform().showHelp(HelpFileName, 1); });
}
