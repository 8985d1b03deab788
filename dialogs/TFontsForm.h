#pragma once

#include "SheetFont.h"

#include "ApplyOnCloseDialog.h"

#include <functional>

class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class TCaptionSaver;

// The label settings dialog: an element's text and font and, for the footer values, the
// currency symbol. It has no cancel: however it closes, it reports the text and font it
// holds for the element to take, and the symbol is stored.
class TFontsForm : public ApplyOnCloseDialog
{
    Q_OBJECT
public:
    // owner is the edited label or group box.
    TFontsForm(QWidget *owner, bool footerValue, TCaptionSaver &captions);

    std::function<void(const QString &text, const SheetFont &font)> OnClose;

    QLineEdit *Edit1;
    QCheckBox *CheckBox1;
    QLineEdit *Edit2;
    QPushButton *BitBtn1; // "Set Font..."
    QPushButton *BitBtn2; // "&Close"
    QMenu *PopupMenu1;

    const SheetFont &TextFont() const { return m_font; }
    void SetTextFont(const SheetFont &font);
    // The currency symbol as closing left it, for the caller to store under "Currency"
    // together with the rest of the edit.
    const QString &StoredSymbol() const { return m_storedSymbol; }

    void FormShow();
    void BitBtn1Click();
    void CheckBox1Click();
    void CurrencyMenu(QAction *item);
    void FormClose() override;


protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_footerValue;
    TCaptionSaver &m_captions;
    SheetFont m_font;
    QString m_storedSymbol;
};
