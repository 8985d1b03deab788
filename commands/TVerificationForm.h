#pragma once

#include "ApplyOnCloseDialog.h"

class QCheckBox;
class QLabel;
class QPushButton;
class TIniFile;

// The check of the PO number before printing. "&Print" goes on, "&Edit" (or the close box)
// opens the PO number editor first; either way the order is printed.
class TVerificationForm : public ApplyOnCloseDialog
{
    Q_OBJECT
public:
    // sheetFile receives the "NoShow" flag on every close.
    TVerificationForm(QWidget *owner, TIniFile *sheetFile);

    QCheckBox *CheckBox1;
    QLabel *Label1;
    QPushButton *BitBtn1; // "&Print"
    QPushButton *BitBtn2; // "&Edit"

    void BitBtn2Click();
    void FormClose() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TIniFile *m_sheetFile;
};
