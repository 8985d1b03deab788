#include "WindowFixture.h"

#include "LineItemGrid.h"
#include "ScreenPlace.h"
#include "SheetImage.h"
#include "SheetKeyboard.h"
#include "SheetLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class KeyboardTest : public SheetAndPanelTest
{
protected:
    void SetUp() override
    {
        SheetAndPanelTest::SetUp();
        start(path("order.pof"));
        showSheet(*sheet);
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    }

    QString focused() const
    {
        QWidget *w = QApplication::focusWidget();
        if (w && sheet->StringGrid1->isAncestorOf(w))
            w = sheet->StringGrid1;
        return w ? w->objectName() : QStringLiteral("(none)");
    }

    void focusOn(const QString &name)
    {
        auto *w = qobject_cast<QWidget *>(sheet->Component(name));
        ASSERT_TRUE(w) << name.toStdString();
        w->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(focused(), name);
    }
};

// Reading order: line by line, left to right, a block's texts after its caption; from the
// table only Ctrl+Tab (Move) leaves, and the ends meet.
TEST_F(KeyboardTest, TabRunsThroughTheTextsInReadingOrder)
{
    struct Case {
        const char *from;
        bool forward;
        const char *to;
    };
    const Case cases[] = {
        {"Label5", true, "Label7"},          // the address block, then the title beside it
        {"Label8", true, "Label20"},         // the notes, then the order block's first line
        {"Label20", true, "labelPONumber"},  // a caption, then its value
        {"labelPONumber", true, "Label21"},  // the next line
        {"Label36", true, "GroupBox1"},      // the vendor frame's caption
        {"GroupBox1", true, "Label41"},
        {"Label41", true, "Label42"},        // the phone beside the name
        {"Label44", true, "GroupBox2"},      // the next frame
        {"Label31", true, "StringGrid1"},    // the last heading, then the table
        {"StringGrid1", true, "Label1"},     // the table left by Ctrl+Tab
        {"Label1", false, "StringGrid1"},    // ... and Ctrl+Shift+Tab back from below
        {"Label19", true, "Label2"},         // the last text, round to the first
        {"Label2", false, "Label19"},
        {"Label39", true, "Label13"},        // the approval caption begins the last line
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.from) + (c.forward ? " -> " : " <- "));
        focusOn(QString::fromLatin1(c.from));
        ASSERT_TRUE(sheet->Keyboard()->Move(c.forward));
        EXPECT_EQ(focused(), QString::fromLatin1(c.to));
    }
}

TEST_F(KeyboardTest, ALogoIsAStopAndItsInvitationIsNot)
{
    const std::vector<QWidget *> before = sheet->Keyboard()->Stops();
    EXPECT_NE(std::find(before.begin(), before.end(), sheet->Label(u"labelForLogo")), before.end());
    EXPECT_EQ(std::find(before.begin(), before.end(), sheet->Image1), before.end());

    const QString logo = path("logo.bmp");
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(logo));
    platform.fileAnswers.push_back(logo);
    focusOn(u"labelForLogo"_s);
    QTest::keyClick(sheet->Label(u"labelForLogo"), Qt::Key_Shift); // the keyboard is there
    ASSERT_EQ(sheet->Keyboard()->Framed(), sheet->Label(u"labelForLogo"));
    {
        // The file dialog has the keyboard while the picture comes in, as on a desktop.
        QDialog chooser;
        chooser.show();
        chooser.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
        sheet->Image1Click(sheet->Label(u"labelForLogo"));
    }
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    ASSERT_TRUE(sheet->Image1->HasPicture());
    EXPECT_EQ(focused(), u"Image1") << "the keyboard stays on the new logo, not the next text";
    EXPECT_EQ(sheet->Keyboard()->Framed(), sheet->Image1) << "and shows where it is";

    const std::vector<QWidget *> after = sheet->Keyboard()->Stops();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.front(), sheet->Image1);
    EXPECT_EQ(std::find(after.begin(), after.end(), sheet->Label(u"labelForLogo")), after.end());
}

// The frame shows where the keyboard is, and only there: not for a text the focus merely
// rests on, not while the table has it.
TEST_F(KeyboardTest, TheFrameFollowsTheKeyboard)
{
    SheetLabel *company = sheet->Label(u"Label2");
    company->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(sheet->Keyboard()->Framed(), nullptr);

    sheet->Keyboard()->Move(true);
    SheetLabel *address = sheet->Label(u"Label3");
    ASSERT_EQ(sheet->Keyboard()->Framed(), address);
    auto *frame = sheet->ScrollBox1->widget()->findChild<QWidget *>(QStringLiteral("SheetFocusFrame"));
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->geometry().contains(address->geometry().translated(address->parentWidget()->pos())));

    sheet->StringGrid1->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(sheet->Keyboard()->Framed(), nullptr);
    EXPECT_FALSE(frame->isVisible());
}

// Return, Space and F2 do what a click does, with the dialog below the text; F10 and the Menu
// key call up the panel there, focus on its first button; Escape puts the panel away.
TEST_F(KeyboardTest, KeysDoWhatTheMouseDoes)
{
    SheetLabel *account = sheet->Label(u"Label34");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_F2}) {
        SCOPED_TRACE(key);
        QString title;
        QPoint at;
        platform.onModal = [&](QDialog *d) {
            title = d->windowTitle();
            at = d->pos();
            return int(QDialog::Rejected);
        };
        account->setFocus(Qt::TabFocusReason);
        QTest::keyClick(account, key);
        QTest::qWait(0); // the editor opens after the key's event returns
        QCoreApplication::processEvents();
        EXPECT_EQ(title, QStringLiteral("Enter Value for Account:")) << "as a click titles it";
        const QPoint below = account->mapToGlobal(QPoint(0, account->height() + 10));
        EXPECT_EQ(at, below);
    }

    // Titled, and its text box named, as a click would; only an amount's dialog offers currencies.
    const struct {
        const char *label;
        const char *title;
        bool currencyHint;
    } dialogs[] = {
        {"Label15", "Enter Value for Discounts", true},
        {"Label18", "Enter Value for Credited", true},
        {"Label2", "Enter Company Name", false},
    };
    for (const auto &c : dialogs) {
        SCOPED_TRACE(c.label);
        QString title, boxName, hint;
        platform.onModal = [&](QDialog *d) {
            d->show();
            title = d->windowTitle();
            boxName = d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->accessibleName();
            hint = d->toolTip();
            return int(QDialog::Rejected);
        };
        SheetLabel *label = sheet->Label(QString::fromLatin1(c.label));
        label->setFocus(Qt::TabFocusReason);
        QTest::keyClick(label, Qt::Key_Return);
        QTest::qWait(0);
        QCoreApplication::processEvents();
        EXPECT_EQ(title, QString::fromLatin1(c.title));
        EXPECT_EQ(boxName, QString::fromLatin1(c.title));
        EXPECT_EQ(hint.contains(u"currency"), c.currencyHint) << hint.toStdString();
    }
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));

    for (Qt::Key key : {Qt::Key_F10, Qt::Key_Menu}) {
        SCOPED_TRACE(key);
        panel->hide();
        account->setFocus(Qt::TabFocusReason);
        QTest::keyClick(account, key);
        ASSERT_TRUE(panel->isVisible());
        EXPECT_EQ(panel->pos(), OnScreen(account->mapToGlobal(QPoint(0, account->height())),
                                         panel->size(), platform.screen));
        EXPECT_EQ(panel->focusWidget(), panel->btnExit);
        QTest::keyClick(panel.get(), Qt::Key_Escape);
        EXPECT_FALSE(panel->isVisible());
    }
}

} // namespace

namespace {

QString accessibleText(QObject *object, QAccessible::Text text = QAccessible::Name)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(object);
    return i ? i->text(text) : QStringLiteral("(none)");
}

// What a screen reader is told of the windows and of the widgets it lands on.
TEST_F(KeyboardTest, ScreenReadersFindEveryPlaceNamed)
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(sheet.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), sheet->windowTitle());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(panel.get())->role(), QAccessible::Window);
    EXPECT_EQ(accessibleText(panel.get()), panel->windowTitle());
    EXPECT_EQ(accessibleText(sheet->StringGrid1), u"Line items");

    // A cell's editor is named after its column and line; the cells are described so.
    const struct {
        int column, row;
        const char *name;
    } cells[] = {{0, 0, "Qty, Line 1"}, {3, 3, "Product, Line 4"}, {6, 8, "Extended, Line 9"}};
    for (const auto &c : cells) {
        SCOPED_TRACE(c.name);
        sheet->StringGrid1->setCurrentCell(c.row, c.column);
        sheet->StringGrid1->OpenCurrentEditor();
        ASSERT_NE(sheet->StringGrid1->Editor(), nullptr);
        EXPECT_EQ(sheet->StringGrid1->Editor()->accessibleName(), QString::fromLatin1(c.name));
        EXPECT_EQ(sheet->StringGrid1->item(c.row, c.column)->data(Qt::AccessibleDescriptionRole).toString(),
                  QString::fromLatin1(c.name));
    }
    // A heading renamed renames its column's cells.
    sheet->Label(u"Label25")->SetCaption(u"Count"_s);
    EXPECT_EQ(sheet->StringGrid1->item(2, 0)->data(Qt::AccessibleDescriptionRole).toString(), u"Count, Line 3");
}

} // namespace
