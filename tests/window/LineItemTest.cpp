#include "QtPrinters.h"
#include "EditingFixture.h"

#include "LineItemGrid.h"
#include "TLineItems.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Typing into the grid's in-place editor, one key at a time.
class LineItemTest : public EditingTest
{
protected:
    void typeInto(int column, int row, const QString &text)
    {
        sheet->StringGrid1->setCurrentCell(row, column);
        QLineEdit *editor = sheet->StringGrid1->Editor();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        if (text.isEmpty())
            QTest::keyClick(editor, Qt::Key_Backspace);
        else
            QTest::keyClicks(editor, text);
    }
    QString cell(int column, int row) { return sheet->StringGrid1->Cell(column, row); }
};

TEST_F(LineItemTest, AmountsAndTotalsFollowEveryKeystroke)
{
    typeInto(0, 0, u"3"_s);
    EXPECT_EQ(cell(6, 0), QString());
    typeInto(5, 0, u"2.5"_s);
    EXPECT_EQ(cell(6, 0), u"7.50"_s);
    EXPECT_EQ(caption("Label14"), u"7.50"_s);
    EXPECT_EQ(caption("Label19"), u"7.50"_s);

    typeInto(0, 1, u"2"_s);
    typeInto(5, 1, u"1"_s);
    EXPECT_EQ(caption("Label14"), u"9.50"_s);

    typeInto(6, 0, u"12"_s);
    EXPECT_EQ(cell(6, 0), u"7.50"_s) << "a typed amount never stays";
    EXPECT_EQ(sheet->StringGrid1->Editor()->text(), u"7.50"_s);

    typeInto(0, 0, QString());
    EXPECT_EQ(cell(6, 0), QString());
    EXPECT_EQ(caption("Label14"), u"2.00"_s);

    typeInto(6, 2, u"5"_s);
    EXPECT_EQ(cell(6, 2), QString()) << "a row without quantity and price";
    EXPECT_FALSE(QFile::exists(file)) << "cells reach the file only with a save";
}

TEST_F(LineItemTest, TheLineItemDialogClearsTheSelectedRowOrSetsTheFont)
{
    typeInto(0, 3, u"4"_s);
    typeInto(5, 3, u"2"_s);
    typeInto(3, 3, u"Nails"_s);
    typeInto(1, 3, u"box"_s);
    EXPECT_EQ(caption("Label14"), u"8.00"_s);

    QString button, dialogTitle;
    bool enabled = false;
    platform.onModal = [&](QDialog *d) {
        auto *items = qobject_cast<TLineItems *>(d);
        d->show();
        button = items->BitBtn2->text();
        dialogTitle = d->windowTitle();
        enabled = items->BitBtn2->isEnabled();
        if (enabled)
            items->BitBtn2->click();
        d->close();
        return d->result();
    };
    sheet->StringGridDoubleClick();
    EXPECT_EQ(button, u"Clear Row &4"_s);
    EXPECT_EQ(dialogTitle, u"Modify a Purchase Order Line Item"_s);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cell(c, 3), QString()) << c;
    EXPECT_EQ(caption("Label14"), u"0.00"_s);

    sheet->StringGrid1->setCurrentCell(5, 1);
    sheet->StringGridDoubleClick();
    EXPECT_EQ(button, u"Clear Row &6"_s);
    EXPECT_EQ(dialogTitle, u"Set Font for Line Items Group"_s);
    EXPECT_FALSE(enabled);

    SheetFont mono;
    mono.name = u"Courier New"_s;
    mono.size = 10;
    platform.fontAnswers = {mono};
    platform.onModal = [](QDialog *d) {
        qobject_cast<TLineItems *>(d)->BitBtn3->click();
        return 0;
    };
    sheet->StringGridDoubleClick();
    EXPECT_EQ(sheet->StringGrid1->Font(), mono);
    EXPECT_EQ(readBytes(file), "[StringGrid1]\r\nFontColor=-2147483640\r\nFontName=Courier New\r\n"
                               "FontSize=10\r\nFontStyle=0\r\n");
}

// The dialog opens with "Clear Row" under the pointer: a click at the double-click's spot
// within a second of it (a triple-click, an impatient click) presses nothing; a click after
// the pointer moved away, or a second later, is meant and clears the row.
TEST_F(LineItemTest, AClickAtTheDoubleClicksSpotWithinASecondPressesNoButton)
{
    struct Case
    {
        const char *what;
        QPoint offset;      // from where the double-click was
        quint64 after;      // milliseconds after it
        bool movedAwayFirst;
        bool clears;
    };
    const Case cases[] = {
        {"the third click of a triple-click", {0, 0}, 120, false, false},
        {"one more click at almost the same spot", {2, -1}, 950, false, false},
        {"a click a second later", {0, 0}, 1000, false, true},
        {"a click a little way off", {20, 0}, 150, false, true},
        {"a click after the pointer went away and came back", {0, 0}, 400, true, true},
    };
    constexpr quint64 Opened = 5'000'000;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        typeInto(0, 0, u"4"_s);
        typeInto(5, 0, u"2"_s);
        sheet->StringGrid1->setCurrentCell(0, 0);
        platform.onModal = [&](QDialog *d) {
            d->show();
            auto *items = qobject_cast<TLineItems *>(d);
            QPushButton *clear = items->BitBtn2;
            const QPoint centre = clear->rect().center();
            // The dialog opens with "Clear Row" where the double-click was.
            items->IgnoreClicksNear({QPointF(clear->mapToGlobal(centre)), Opened});
            // Through the dialog's window, as the window system delivers them.
            const auto send = [&](QEvent::Type type, QPoint local, quint64 time, Qt::MouseButtons buttons) {
                QMouseEvent event(type, QPointF(clear->mapTo(d, local)), QPointF(clear->mapToGlobal(local)),
                                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
                event.setTimestamp(Opened + time);
                QApplication::sendEvent(d->windowHandle(), &event);
            };
            if (c.movedAwayFirst)
                send(QEvent::MouseMove, centre + QPoint(0, 40), c.after / 2, Qt::NoButton);
            send(QEvent::MouseButtonPress, centre + c.offset, c.after, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, centre + c.offset, c.after + 60, Qt::NoButton);
            d->close();
            return 0;
        };
        sheet->StringGridDoubleClick();
        EXPECT_EQ(cell(0, 0).isEmpty(), c.clears);
    }
}

TEST_F(LineItemTest, BeforeAnySelectionTheFirstRowIsTheCurrentOne)
{
    QString button;
    platform.onModal = [&](QDialog *d) {
        button = qobject_cast<TLineItems *>(d)->BitBtn2->text();
        return 0;
    };
    sheet->StringGridDoubleClick();
    EXPECT_EQ(button, u"Clear Row &1"_s);
}

} // namespace

// What a file gives back is what the editors take: a text typed or pasted past that is cut
// as it is typed, not later by a load or a recovery.
TEST_F(LineItemTest, NoEditorTakesMoreThanAFileGivesBack)
{
    const QString typed(2703, u'x');
    typeInto(3, 0, typed);
    editLabel("Label2", [&](TFontsForm *d) { d->Edit1->setText(typed); });
    const QString cellShown = cell(3, 0), labelShown = caption("Label2");
    EXPECT_EQ(cellShown.size(), 2047);
    EXPECT_EQ(labelShown.size(), 2047);
    sheet->SaveSheet();

    sheet = std::make_unique<TPurchaseOrderForm>();
    sheet->OpenSheetFile(file);
    sheet->LoadSheet();
    EXPECT_EQ(cell(3, 0), cellShown);
    EXPECT_EQ(caption("Label2"), labelShown);
}
