#include "LineItemGrid.h"

#include "FontConvert.h"
#include "SheetFields.h"

#include <QHeaderView>
#include <QMouseEvent>

LineItemGrid::LineItemGrid(QWidget *parent)
    : EditTextGrid(SheetFields::GridRows, SheetFields::GridColumns, parent)
{
    setObjectName(QStringLiteral("StringGrid1"));
    setAccessibleName(QStringLiteral("Line items"));
    QStringList lines;
    for (int r = 0; r < rowCount(); ++r)
        lines << QStringLiteral("Line %1").arg(r + 1);
    setVerticalHeaderLabels(lines); // hidden, but what a screen reader calls each row
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // The designed widths and height leave out the one-pixel grid line that Qt counts in.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(SheetFields::GridRowHeight + 1);
    horizontalHeader()->setMinimumSectionSize(1);
    for (int c = 0; c < SheetFields::GridColumns; ++c)
        setColumnWidth(c, SheetFields::GridColumnWidths[size_t(c)] + 1);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    // The editor is always shown: the current cell opens for typing as soon as it is chosen
    // (Qt opens it itself only for a table on screen). A click on the current cell opens it
    // at once (mousePressEvent): Qt's own trigger for that waits a double-click's time, and
    // when the line-item dialog had closed meanwhile it shut the editor the user had just
    // clicked into, and the digits typed next were lost.
    setEditTriggers(QAbstractItemView::EditTriggers(QAbstractItemView::AllEditTriggers) &
                    ~QAbstractItemView::EditTriggers(QAbstractItemView::SelectedClicked));
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column >= 0 && state() != QAbstractItemView::EditingState)
            editItem(item(row, column));
    });
    setTabKeyNavigation(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    setPalette(p);
}

void LineItemGrid::SetFont(const SheetFont &font)
{
    m_font = font;
    FontConvert::apply(this, font, QPalette::Text);
}

void LineItemGrid::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(this, event);
    const QModelIndex was = currentIndex();
    EditTextGrid::mousePressEvent(event);
    // An open editor takes the presses on its cell: this is the current cell without one.
    if (event->button() == Qt::LeftButton && was.isValid() &&
        indexAt(event->position().toPoint()) == was && currentIndex() == was && !Editor())
        edit(was);
}

SheetFields::LineItemRows LineItemGrid::Rows() const
{
    SheetFields::LineItemRows rows;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columnCount(); ++c)
            cells << Cell(c, r);
        rows << cells;
    }
    return rows;
}
