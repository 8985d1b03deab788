#pragma once

#include <QDialog>

class QPushButton;
class TPurchaseOrderForm;

// The line-item dialog: clears the row it works on, or sets the table's font.
class TLineItems : public QDialog
{
    Q_OBJECT
public:
    TLineItems(TPurchaseOrderForm *sheet, int row);

    int Tag() const { return m_row; }
    QPushButton *BitBtn2; // "Clear Row &%d"
    QPushButton *BitBtn3; // "&Set Font..."
    QPushButton *BitBtn1; // "&Close"

    void FormShow();
    void BitBtn2Click();
    void BitBtn3Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TPurchaseOrderForm *m_sheet;
    int m_row;
};
