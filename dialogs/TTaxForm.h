#pragma once

#include "ApplyOnCloseDialog.h"

class EditTextGrid;
class QCheckBox;
class QPushButton;
class TIniFile;

// Tax percentages for each named product row and for shipping. Every typed change of a
// percentage is checked at once; closing stores whether the dialog is to be offered again
// when printing.
class TTaxForm : public ApplyOnCloseDialog
{
    Q_OBJECT
public:
    // sheetFile receives the "NoShow" flag when the dialog closes.
    TTaxForm(QWidget *owner, TIniFile *sheetFile);

    static constexpr int ShippingRow = 9;

    EditTextGrid *StringGrid1;
    QCheckBox *CheckBox1;
    QPushButton *BitBtn1;

    void StringGrid1SetEditText(int column, int row);
    void FormClose() override;
    // Gives a refusal still waiting for its keystroke to end (the dialog was closed at once).
    void FinishChecks();

private:
    void leaveStop(bool forward);
    void pressOk();
    static QString refusalOf(long double percentage);
    void refuse(int row);

    TIniFile *m_sheetFile;
    bool m_refusalPending = false;
};
