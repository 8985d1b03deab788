#pragma once

#include "SheetFont.h"

#include <QDialog>

#include <functional>

class QPushButton;

// The line-item dialog: clears the row it works on, or sets the table's font. It is given
// whether the row holds a quantity and the table's font, and reports what the user chose;
// the table applies it.
class TLineItems : public QDialog
{
    Q_OBJECT
public:
    TLineItems(QWidget *table, int row, bool rowFilled, const SheetFont &tableFont);

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
