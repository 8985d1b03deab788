#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QLineEdit>
#include <QTableWidget>


// A table of plain text cells edited in place, that reports every keystroke that changes
// a cell's text (the cell already holds the new text when it is reported), and keeps an
// open editor showing what the program writes into its cell.
class EditTextGrid : public QTableWidget
{
    Q_OBJECT
public:
    EditTextGrid(int rows, int columns, QWidget *parent);
    using QTableWidget::edit;

    QString Cell(int column, int row) const;
    void SetCell(int column, int row, const QString &text);
    // The texts of one column, from the first row to the last.
    QStringList Column(int column) const;
    // "Qty, Line 1": a cell as a screen reader names its editor and describes it, from the
    // (hidden) header labels. NameCells gives every cell its description, anew after the
    // labels change.
    QString CellName(int column, int row) const;
    void NameCells();

    // The in-place editor now open, if any.
    QLineEdit *Editor() const { return qobject_cast<QLineEdit *>(m_editor.data()); }
    // Opens the current cell's editor (the first cell's when none is current), as a click
    // on it does.
    void OpenCurrentEditor();
    // Moving onto a cell of this column opens no editor there: it is typed into only when
    // the user starts typing or clicks it (a column that is shown but never kept).
    void SetTypedOnlyColumn(int column) { m_typedOnlyColumn = column; }

signals:
    void EditTextChanged(int column, int row);
    // With the pointer's place on the screen and the window system's time of the click.
    void CellDoubleClicked(QPointF globalPos, quint64 timestamp);
    // F2 in a cell: the keyboard's double-click.
    void DialogKeyPressed();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    friend class EditTextDelegate;
    void editorOpened(QLineEdit *editor, const QModelIndex &index);
    void editorTyped(const QModelIndex &index, const QString &text);
    void announceCell(int column, int row);

    // Tracked as a plain widget: while an editor is being destroyed it is no line edit any
    // more, and the events it still sends must not be taken for one.
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_editing;
    int m_typedOnlyColumn = -1;
};
