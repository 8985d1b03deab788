#pragma once

#include <QPointer>
#include <QWidget>

class QDialog;
class QPushButton;
class TFileDialog;
class TPurchaseOrderForm;

// The floating command panel: Load PO, Save PO As, Taxes, Print, Help and Exit. It is
// called up by a right-click on the sheet; closing it closes the sheet and ends the
// program.
class TControlForm : public QWidget
{
    Q_OBJECT
public:
    explicit TControlForm(TPurchaseOrderForm *sheet);
    ~TControlForm() override;

    static const QString DesignCaption;

    QPushButton *btnExit;
    QPushButton *BitBtn1; // Print
    QPushButton *BitBtn2; // Load PO
    QPushButton *BitBtn3; // Save PO As
    QPushButton *btnTax;
    QPushButton *BitBtn4; // Help
    TFileDialog *SaveDialog1;
    TFileDialog *OpenDialog1;

    void btnExitClick();
    void BitBtn4Click();
    // The tax command; also run by a click on the tax amount and by Print.
    void btnTaxClick();
    // Save PO As: the sheet under a chosen name, offered as the next start-up sheet. False
    // when the user cancelled.
    bool BitBtn3Click();
    // Load PO: another sheet, after offering to save this one.
    void BitBtn2Click();
    // Print: the checks, the save, and the preview of the printed order.
    void BitBtn1Click();
    // Moves the panel near at (kept on screen), names the currency in its title, shows it.
    void ShowAt(QPoint at, const QString &currencyCode, const QString &currencySymbol);

protected:
    void closeEvent(QCloseEvent *event) override;
    // Enter presses the focused button; Escape puts the panel away (closing it would end
    // the program) and gives the keyboard back to the sheet.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormClose();
    // Saves the order into its file (Exit, Load PO); false when the user cancelled the Save PO
    // As that the blank sheet needs.
    bool saveOrder();
    // The start-up blank sheet keeps what it holds, so an order typed on it has nowhere to go:
    // says so and offers Save PO As. False when the user cancelled it.
    bool nameBlankOrder();
    // Names the typed quantities and prices that are no numbers, if any: true to print anyway.
    bool printUncountedLines();
    // The vendor's e-mail address: the first text of the vendor's frame that is one, else empty.
    QString vendorAddress() const;
    bool blankOrderNeedsName() const;
    // Load PO once its file is chosen: the sheet reads chosen, fonts from its companion file.
    void loadOrder(const QString &chosen);
    // Whether Save As may write chosen: asks before it replaces another existing file.
    bool mayReplace(const QString &chosen);
    void showAgain();
    QPushButton *button(const char *name, const QString &caption, int left, const char *icon);

    QPointer<TPurchaseOrderForm> m_sheet;
    // The print preview while one is open: a second Print brings it back instead of
    // starting a print inside the first one's wait.
    QPointer<QDialog> m_preview;
};

// The program's two windows, for every other window of it: the sheet window as app/ creates
// it, the command panel as it creates itself.
extern TPurchaseOrderForm *PurchaseOrderForm;
extern TControlForm *ControlForm;
