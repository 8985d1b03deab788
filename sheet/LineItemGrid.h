#pragma once

#include "EditTextGrid.h"
#include "SheetFields.h"
#include "SheetFont.h"

#include <functional>

// The line-item table StringGrid1: 7 columns by 9 rows of plain text cells, no fixed rows
// or columns, edited in place with the editor always shown.
class LineItemGrid : public EditTextGrid
{
    Q_OBJECT
public:
    explicit LineItemGrid(QWidget *parent);

    const SheetFont &Font() const { return m_font; }
    void SetFont(const SheetFont &font);
    // Every cell's text, for whatever must not hold on to the window (the printout).
    SheetFields::LineItemRows Rows() const;

    std::function<void(QWidget *, QMouseEvent *)> OnMouseDown;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    SheetFont m_font;
};
