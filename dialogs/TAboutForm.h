#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QToolButton;

// The About window: product name, version, help and OK.
class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    TAboutForm(const QString &version, QWidget *owner = nullptr);

    QLabel *ProductName;
    QLabel *Version;
    QToolButton *HelpButton;
    QPushButton *OKButton;
};
