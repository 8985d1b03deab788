#pragma once

#include "SheetFont.h"

#include <QTableWidget>
#include <functional>

// The line-item table StringGrid1: 7 columns by 9 rows of plain text cells, no fixed rows
// or columns, edited in place with the editor always shown.
class LineItemGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit LineItemGrid(QWidget *parent);

    QString Cell(int column, int row) const;
    void SetCell(int column, int row, const QString &text);
    // The texts of one column, rows 0 to 8.
    QStringList Column(int column) const;

    const SheetFont &Font() const { return m_font; }
    void SetFont(const SheetFont &font);

    std::function<void(QWidget *, QMouseEvent *)> OnMouseDown;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    SheetFont m_font;
};
