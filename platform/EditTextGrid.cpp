#include "EditTextGrid.h"

#include "IniDocument.h"

#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

class EditTextDelegate : public QStyledItemDelegate
{
public:
    explicit EditTextDelegate(EditTextGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setMaxLength(IniDocument::MaxValueLength); // no more than a file gives back
        editor->setAccessibleName(m_grid->CellName(index.column(), index.row()));
        const QPersistentModelIndex at(index);
        QObject::connect(editor, &QLineEdit::textEdited, m_grid,
                         [grid = m_grid, at](const QString &text) { grid->editorTyped(at, text); });
        m_grid->editorOpened(editor, index);
        return editor;
    }

    // Each keystroke puts the editor's text into its cell, and the view then hands the cell's
    // text back: setting it anew would wipe the editor's undo history, so Ctrl+Z did nothing.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (line && line->text() == index.data(Qt::EditRole).toString())
            return;
        QStyledItemDelegate::setEditorData(editor, index);
    }

private:
    EditTextGrid *m_grid;
};

EditTextGrid::EditTextGrid(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
{
    setItemDelegate(new EditTextDelegate(this));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            setItem(r, c, new QTableWidgetItem);
    }
}

QString EditTextGrid::Cell(int column, int row) const
{
    const QTableWidgetItem *i = item(row, column);
    return i ? i->text() : QString();
}

void EditTextGrid::SetCell(int column, int row, const QString &text)
{
    const bool changed = item(row, column)->text() != text;
    item(row, column)->setText(text);
    if (changed)
        announceCell(column, row);
    QLineEdit *editor = Editor();
    if (editor && m_editing == model()->index(row, column) && editor->text() != text)
        editor->setText(text);
}

QString EditTextGrid::CellName(int column, int row) const
{
    const QString heading = model()->headerData(column, Qt::Horizontal).toString();
    const QString line = model()->headerData(row, Qt::Vertical).toString();
    return QStringLiteral("%1, %2").arg(heading, line);
}

void EditTextGrid::NameCells()
{
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c)
            item(r, c)->setData(Qt::AccessibleDescriptionRole, CellName(c, r));
    }
}

QStringList EditTextGrid::Column(int column) const
{
    QStringList texts;
    for (int r = 0; r < rowCount(); ++r)
        texts << Cell(column, r);
    return texts;
}

void EditTextGrid::editorOpened(QLineEdit *editor, const QModelIndex &index)
{
    m_editor = editor;
    m_editing = index;
    editor->installEventFilter(this);
}

void EditTextGrid::editorTyped(const QModelIndex &index, const QString &text)
{
    if (!index.isValid())
        return;
    item(index.row(), index.column())->setText(text);
    announceCell(index.column(), index.row());
    emit EditTextChanged(index.column(), index.row());
}

void EditTextGrid::announceCell(int column, int row)
{
    // A cell is named by its text: a screen reader that keeps what it was told hears the new
    // one, typed or filled in by the program (an extended amount).
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(this);
    QAccessibleTableInterface *cells = table ? table->tableInterface() : nullptr;
    if (QAccessibleInterface *cell = cells ? cells->cellAt(row, column) : nullptr) {
        QAccessibleEvent event(cell, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void EditTextGrid::OpenCurrentEditor()
{
    if (Editor())
        return;
    QModelIndex at = currentIndex();
    if (!at.isValid())
        at = model()->index(0, 0);
    setCurrentIndex(at);
    if (!Editor())
        edit(at);
}

bool EditTextGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (index.column() == m_typedOnlyColumn && trigger == CurrentChanged)
        return false;
    return QTableWidget::edit(index, trigger, event);
}

bool EditTextGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F2 &&
        static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        emit DialogKeyPressed();
        return true;
    }
    // The editor stands over the cell, so its double-clicks are the table's.
    if (watched == m_editor && event->type() == QEvent::MouseButtonDblClick) {
        const auto *click = static_cast<QMouseEvent *>(event);
        emit CellDoubleClicked(click->globalPosition(), click->timestamp());
    }
    return QTableWidget::eventFilter(watched, event);
}

void EditTextGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableWidget::mouseDoubleClickEvent(event);
    emit CellDoubleClicked(event->globalPosition(), event->timestamp());
}
