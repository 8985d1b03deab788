#pragma once

#include "ClickGuard.h"
#include "SheetFont.h"

#include <QDialog>
#include <QPointF>

#include <functional>
#include <optional>

class QPushButton;

// The line-item dialog: clears the row it works on, or sets the table's font. It is given
// whether the row holds a quantity and the table's font, and reports what the user chose;
// the table applies it.
class TLineItems : public QDialog
{
    Q_OBJECT
public:
    // The double-click that opened the dialog.
    using OpeningClick = ClickGuard::Click;

    TLineItems(QWidget *table, int row, bool rowFilled, const SheetFont &tableFont);

    // The dialog opens under the pointer: a click there within a second of the double-click
    // (the third of a triple-click, or one more because the dialog seemed slow) presses no
    // button. Once the pointer has moved away, or later, a click is taken as meant.
    void IgnoreClicksNear(const OpeningClick &click);

    std::function<void()> OnClearRow;
    std::function<void(const SheetFont &)> OnTableFont;

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
    int m_row;
    bool m_rowFilled;
    SheetFont m_font;
};
