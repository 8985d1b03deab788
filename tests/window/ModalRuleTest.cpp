// A modal window opened from a widget's event must not run while that widget's handler is
// on the stack: its loop takes the focus, and an item view's editor that loses the focus
// is deleted. These drive real key and mouse events into a shown, focused editor, and the
// scripted platform does to the program what a real modal loop does.

#include "WindowFixture.h"

#include "EditTextGrid.h"
#include "LineItemGrid.h"
#include "TControlForm.h"
#include "TLineItems.h"
#include "TPurchaseOrderForm.h"
#include "SheetKeys.h"
#include "TIniFile.h"
#include "TTaxForm.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class ModalRuleTest : public SheetAndPanelTest
{
protected:
    // Opens the editor of a cell of grid, in a shown and active window, with the focus.
    static QLineEdit *focusedEditor(EditTextGrid *grid, int column, int row)
    {
        QWidget *window = grid->window();
        if (auto *sheet = qobject_cast<TPurchaseOrderForm *>(window))
            showSheet(*sheet);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        grid->setFocus();
        grid->setCurrentCell(row, column);
        if (!grid->Editor())
            grid->edit(grid->model()->index(row, column));
        QLineEdit *editor = grid->Editor();
        if (editor)
            editor->setFocus();
        EXPECT_TRUE(editor && editor->hasFocus());
        return editor;
    }
};

TEST_F(ModalRuleTest, ARefusedPercentageIsAnsweredAfterTheKeystrokeThatClosesTheEditor)
{
    start(path("tax.pof"));
    sheet->StringGrid1->SetCell(SheetFields::ProductColumn, 0, u"Hammer"_s);
    struct Case
    {
        const char *keys;
        QString cell, message;
    };
    const Case cases[] = {
        {"101", u"0.00"_s, u"Percentage exceeds 100%."_s},
        {"-5", u"0.00"_s, u"Percentage must be greater than 0%."_s},
        {"-", u"-"_s, QString()},
        {"8.25", u"8.25"_s, QString()},
    };
    for (const Case &c : cases) {
        platform.messages.clear();
        QString cell;
        QPointer<QLineEdit> editor;
        platform.onModal = [&](QDialog *d) {
            auto *form = qobject_cast<TTaxForm *>(d);
            editor = focusedEditor(form->StringGrid1, 1, 1);
            if (!editor)
                return 0;
            editor->selectAll();
            QTest::keyClicks(editor, QString::fromLatin1(c.keys));
            QCoreApplication::processEvents();
            cell = form->StringGrid1->Cell(1, 1);
            d->close();
            return d->result();
        };
        panel->btnTaxClick();
        platform.onModal = nullptr;
        EXPECT_EQ(cell, c.cell) << c.keys;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(platform.messages.empty()) << c.keys;
        } else {
            ASSERT_EQ(platform.messages.size(), 1u) << c.keys;
            EXPECT_EQ(platform.messages[0].text, c.message);
        }
    }
}

TEST_F(ModalRuleTest, ARefusalStillWaitingWhenTheDialogClosesIsGiven)
{
    start(path("tax.pof"));
    sheet->StringGrid1->SetCell(SheetFields::ProductColumn, 0, u"Hammer"_s);
    platform.onModal = [&](QDialog *d) {
        QLineEdit *editor = focusedEditor(qobject_cast<TTaxForm *>(d)->StringGrid1, 1, 1);
        if (editor) {
            editor->selectAll();
            QTest::keyClicks(editor, u"150"_s);
        }
        d->close(); // before the refusal had its turn
        return d->result();
    };
    panel->btnTaxClick();
    platform.onModal = nullptr;
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"Percentage exceeds 100%."_s);
    EXPECT_EQ(TIniFile(path("tax.pof")).readString(SheetKeys::TaxOnRow(0), u"TextValue"_s, u"<none>"_s),
              QString()) << "a refused percentage is never stored";
}

TEST_F(ModalRuleTest, DoubleClickingAnOpenCellEditorOpensTheLineItemDialogAfterTheClick)
{
    start(path("order.pof"));
    QLineEdit *editor = focusedEditor(sheet->StringGrid1, SheetFields::QuantityColumn, 2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, u"4"_s);
    int dialogs = 0;
    platform.onModal = [&](QDialog *d) {
        ++dialogs;
        EXPECT_NE(qobject_cast<TLineItems *>(d), nullptr);
        d->close();
        return d->result();
    };
    QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(5, 5));
    QCoreApplication::processEvents();
    platform.onModal = nullptr;
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(sheet->StringGrid1->Cell(SheetFields::QuantityColumn, 2), u"4"_s);
}

} // namespace
