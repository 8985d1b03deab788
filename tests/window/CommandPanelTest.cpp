#include "QtPrinters.h"
#include "WindowFixture.h"

#include "SheetGroupBox.h"
#include "SheetImage.h"
#include "SheetLabel.h"
#include "TAboutForm.h"
#include "CalendarAccessible.h"
#include "TCalendarForm.h"
#include "FontConvert.h"

#include <QCalendarWidget>
#include "TControlForm.h"
#include "TExitForm.h"
#include "TPurchaseOrderForm.h"

#include <QAbstractItemView>
#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// A sheet and its command panel on a given sheet file.
class CommandPanelTest : public WindowTest
{
protected:
    void open(const QByteArray &contents = {})
    {
        file = path("order.pof");
        if (!contents.isEmpty())
            writeBytes(file, contents);
        sheet = std::make_unique<TPurchaseOrderForm>();
        panel = std::make_unique<TControlForm>(sheet.get());
        sheet->OpenSheetFile(file);
        sheet->LoadSheet();
    }

    QString file;
    std::unique_ptr<TPurchaseOrderForm> sheet;
    std::unique_ptr<TControlForm> panel;
};

TEST_F(CommandPanelTest, ARightClickOnTheSheetCallsUpThePanelThere)
{
    open();
    QTest::mousePress(sheet->ScrollBox1->viewport(), Qt::RightButton, {}, QPoint(100, 50));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->pos(), QPoint(104, 57));
    EXPECT_EQ(QPoint(sheet->DialogLeft(), sheet->DialogTop()), QPoint(100, 50));

    // A left press on the background, or a right press on a label, the header block or the
    // column headings, leaves it where it is.
    QTest::mousePress(sheet->ScrollBox1->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mousePress(sheet->Label(u"Label2"), Qt::RightButton, {}, QPoint(2, 2));
    QTest::mousePress(sheet->Panel2, Qt::RightButton, {}, QPoint(300, 60));
    QTest::mousePress(sheet->Panel3, Qt::RightButton, {}, QPoint(400, 10));
    EXPECT_EQ(panel->pos(), QPoint(104, 57));

    // On the vendor frame the frame's own place is added.
    sheet->ControlMouseDown(sheet->GroupBox(u"GroupBox1"), Qt::RightButton, 10, 20);
    EXPECT_EQ(panel->pos(), QPoint(60 + 10, 243 + 20));
}

// The panel keeps its point whenever it fits, and is moved left or up just enough when not.
TEST_F(CommandPanelTest, ThePanelStaysWhollyOnTheScreen)
{
    open();
    platform.screen = QSize(800, 600);
    const struct { QPoint press, expected; } cases[] = {
        {{100, 50}, {104, 57}},
        {{223, 50}, {227, 57}},    // 227 + 573 = 800: just fits
        {{740, 400}, {227, 407}},  // far right of the table
        {{740, 590}, {227, 571}},  // and near the bottom: 571 + 29 = 600
    };
    for (const auto &c : cases) {
        QTest::mousePress(sheet->ScrollBox1->viewport(), Qt::RightButton, {}, c.press);
        EXPECT_EQ(panel->pos(), c.expected) << c.press.x() << "," << c.press.y();
        // The dialog position stays the pointer's, as before.
        EXPECT_EQ(QPoint(sheet->DialogLeft(), sheet->DialogTop()), c.press);
    }
}

TEST_F(CommandPanelTest, ThePanelCaptionNamesTheCurrencyOnlyWhenBothAreStored)
{
    struct Case
    {
        QByteArray file;
        QString caption;
    };
    const Case cases[] = {
        {"[Currency]\r\nTextValue=\xA3\r\n[Country]\r\nTextValue=GBP\r\n",
         u"Purchase Order Form Menubar, Currency = GBP (£)"_s},
        {"[Currency]\r\nTextValue=$\r\n", u"Purchase Order Form Menubar"_s},
        {"[Country]\r\nTextValue=USD\r\n", u"Purchase Order Form Menubar"_s},
        {"; nothing\r\n", u"Purchase Order Form Menubar"_s},
    };
    for (const Case &c : cases) {
        open(c.file);
        for (int i = 0; i < 2; ++i) {
            sheet->ControlMouseDown(sheet->ScrollBox1, Qt::RightButton, 5, 5);
            EXPECT_EQ(panel->windowTitle(), c.caption);
        }
    }
}

TEST_F(CommandPanelTest, ExitAsksThenSavesOnlyWhenTheBoxIsTicked)
{
    struct Case
    {
        const char *what;
        std::function<void(TExitForm *)> answer;
        bool saved, ended;
    };
    const Case cases[] = {
        {"exit and save", [](TExitForm *f) { f->BitBtn2->click(); }, true, true},
        {"exit without saving",
         [](TExitForm *f) {
             f->CheckBox1->setChecked(false);
             f->BitBtn2->click();
         },
         false, true},
        {"cancel", [](TExitForm *f) { f->BitBtn3->click(); }, false, false},
        {"close box", [](TExitForm *f) { f->close(); }, false, false},
    };
    for (const Case &c : cases) {
        QFile::remove(path("order.pof"));
        open();
        showSheet(*sheet);
        panel->move(300, 200);
        panel->show();
        bool boxWasTicked = false;
        platform.onModal = [&](QDialog *d) {
            auto *exit = qobject_cast<TExitForm *>(d);
            boxWasTicked = exit->CheckBox1->isChecked();
            c.answer(exit);
            return d->result();
        };
        panel->btnExitClick();
        EXPECT_TRUE(boxWasTicked) << c.what;
        EXPECT_EQ(QFile::exists(file), c.saved) << c.what;
        EXPECT_EQ(sheet->isVisible(), !c.ended) << c.what;
        EXPECT_EQ(panel->isVisible(), !c.ended) << c.what;
        if (!c.ended) {
            EXPECT_EQ(panel->pos(), QPoint(300, 200)) << "the panel comes back where it was";
        }
    }
}

TEST_F(CommandPanelTest, ThePanelsCloseBoxEndsTheProgramWithoutAsking)
{
    open();
    showSheet(*sheet);
    panel->show();
    panel->close();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(platform.helpCalls, QStringList{u"quit"_s});
}

TEST_F(CommandPanelTest, ButtonsFollowTheirTabOrderAndAccessKeys)
{
    open();
    const QList<QPushButton *> order{panel->btnExit, panel->BitBtn1, panel->BitBtn2,
                                     panel->BitBtn3, panel->btnTax, panel->BitBtn4};
    const QStringList captions{u"E&xit"_s, u"&Print"_s, u"&Load PO..."_s, u"&Save PO As..."_s,
                               u"&Taxes..."_s, u"&Help"_s};
    for (int i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i]->text(), captions[i]);
        EXPECT_EQ(order[i]->size(), QSize(93, 25));
        EXPECT_FALSE(order[i]->icon().isNull()) << captions[i].toStdString();
        if (i + 1 < order.size()) {
            EXPECT_EQ(order[i]->nextInFocusChain(), order[i + 1]) << captions[i].toStdString();
        }
    }
    EXPECT_EQ(panel->windowTitle(), u"Purchase Order Form Menubar"_s);
    EXPECT_EQ(panel->size(), QSize(573, 29));
}

TEST_F(CommandPanelTest, HelpShowsTheAboutWindowWhichOpensTheGuide)
{
    open();
    QString product, version, hint;
    platform.onModal = [&](QDialog *d) {
        auto *about = qobject_cast<TAboutForm *>(d);
        product = about->ProductName->text();
        version = about->Version->text();
        hint = about->HelpButton->toolTip();
        about->HelpButton->click();
        about->OKButton->click();
        return d->result();
    };
    panel->BitBtn4Click();
    EXPECT_EQ(product, u"Pelmora Purchase Order Form"_s);
    EXPECT_EQ(version, u"v. "_s + sheet->VersionResource1->FileVersion);
    EXPECT_FALSE(sheet->VersionResource1->FileVersion.isEmpty());
    EXPECT_EQ(hint, u"Open P.O. Form Help File"_s);
    EXPECT_EQ(platform.helpCalls, QStringList{u"VARNEL.HLP#1"_s});
}

QByteArray jpeg(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

TEST_F(CommandPanelTest, TheLogoIsAddedReplacedAndRemoved)
{
    const QString logo = path("logo.jpg");
    writeBytes(logo, jpeg({120, 60}));
    writeBytes(path("broken.jpg"), "not a picture");
    open();
    SheetLabel *prompt = sheet->Label(u"labelForLogo");
    ASSERT_TRUE(prompt->isVisibleTo(sheet.get()));

    // Adding through the prompt.
    platform.fileAnswers = {logo};
    sheet->Image1Click(prompt);
    EXPECT_EQ(platform.fileDialogs.back().title, u"Select Company Logo"_s);
    EXPECT_TRUE(sheet->Image1->HasPicture());
    EXPECT_EQ(sheet->Panel2->x(), 135);
    EXPECT_FALSE(prompt->isVisibleTo(sheet.get()));
    EXPECT_FALSE(QFile::exists(file)) << "the new path waits for the next save";

    // No to removal opens the picture dialog; cancelling it keeps the logo.
    platform.messageAnswers = {MsgResult::No};
    platform.fileAnswers = {std::nullopt};
    sheet->Image1Click(sheet->Image1);
    EXPECT_EQ(platform.messages.back().caption, u"Clear Logo"_s);
    EXPECT_EQ(platform.messages.back().text, u"REMOVE logo \"logo.jpg\" from form?"_s);
    EXPECT_TRUE(sheet->Image1->HasPicture());
    EXPECT_EQ(sheet->Panel2->x(), 135);

    // A file that does not load leaves the logo absent, silently.
    platform.messageAnswers = {MsgResult::No};
    platform.fileAnswers = {path("broken.jpg")};
    sheet->Image1Click(sheet->Image1);
    EXPECT_FALSE(sheet->Image1->HasPicture());
    EXPECT_EQ(sheet->Panel2->x(), 5);
    EXPECT_TRUE(prompt->isVisibleTo(sheet.get()));

    // Yes removes it and stores the empty path at once.
    platform.fileAnswers = {logo};
    sheet->Image1Click(prompt);
    platform.messageAnswers = {MsgResult::Yes};
    sheet->Image1Click(sheet->Image1);
    EXPECT_FALSE(sheet->Image1->HasPicture());
    EXPECT_EQ(sheet->Panel2->x(), 5);
    EXPECT_TRUE(prompt->isVisibleTo(sheet.get()));
    EXPECT_EQ(readBytes(file), "[Image1]\r\nTextValue=\r\n");
}

TEST_F(CommandPanelTest, TheDatePickerClosedAtOnceSetsTodayInTheLabelsOwnFont)
{
    open("[labelPODate]\r\nTextValue=01/01/2020\r\nFontName=Times New Roman\r\nFontSize=12\r\n");
    platform.clock = QDateTime(QDate(2026, 3, 9), QTime(8, 0));
    sheet->SetDialogLeft(40);
    sheet->SetDialogTop(60);
    QString caption;
    QPoint at;
    platform.onModal = [&](QDialog *d) {
        caption = d->windowTitle();
        at = d->pos();
        d->show();
        d->close(); // the close box
        return d->result();
    };
    SheetLabel *date = sheet->Label(u"labelPODate");
    sheet->labelPODateClick(date);
    EXPECT_EQ(caption, u"Set Purchase Order Date"_s);
    EXPECT_EQ(at, QPoint(40, 60));
    EXPECT_EQ(date->Caption(), u"03/09/2026"_s);
    EXPECT_EQ(date->Font().name, u"Times New Roman"_s);
    const QByteArray bytes = readBytes(file);
    EXPECT_TRUE(bytes.contains("[labelPODate]\r\nTextValue=03/09/2026\r\nFontName=Times New Roman\r\n"
                               "FontSize=12\r\nFontColor=-2147483640\r\nFontStyle=0\r\n"))
        << bytes.constData();
}

// The calendar keeps the date's font; weekday headings become single letters only where the
// short names would be cut in its seven columns.
TEST_F(CommandPanelTest, TheCalendarShortensItsWeekdayNamesOnlyWhenTheyDoNotFit)
{
    open();
    FontConvert::installFontSubstitutions();
    const struct { const char *face; int size; QCalendarWidget::HorizontalHeaderFormat format; }
        cases[] = {
            {"Courier New", 9, QCalendarWidget::SingleLetterDayNames},
            {"Courier New", 16, QCalendarWidget::SingleLetterDayNames},
            {"Arial", 5, QCalendarWidget::ShortDayNames},
        };
    for (const auto &c : cases) {
        TCalendarForm picker(sheet->Label(u"labelPODate"));
        SheetFont font;
        font.name = QString::fromLatin1(c.face);
        font.size = c.size;
        picker.SetCalendarFont(font);
        EXPECT_EQ(picker.MonthCalendar1->horizontalHeaderFormat(), c.format) << c.face << c.size;
        EXPECT_EQ(picker.MonthCalendar1->font().family(), font.name);
    }
}

// Every cell of the days' grid gives the date it shows, the days of the months either side
// included, across a year's end and a leap day; a weekday's name gives none.
TEST_F(CommandPanelTest, EveryDayOfThePickerKnowsItsWholeDate)
{
    open();
    TCalendarForm picker(sheet->Label(u"labelPODate"));
    auto *days = picker.MonthCalendar1->findChild<QAbstractItemView *>();
    ASSERT_NE(days, nullptr);
    QList<std::pair<QDate, Qt::DayOfWeek>> months;
    for (const Qt::DayOfWeek first : {Qt::Monday, Qt::Sunday, Qt::Saturday}) {
        for (QDate month(2024, 1, 1); month.year() < 2028; month = month.addMonths(1))
            months.append({month.addDays(month.month() % 28), first}); // leap days, years' ends
    }
    for (const auto &[shown, first] : months) {
        SCOPED_TRACE(shown.toString(Qt::ISODate).toStdString() + " from " + std::to_string(first));
        picker.MonthCalendar1->setFirstDayOfWeek(first);
        picker.MonthCalendar1->setSelectedDate(shown);
        QDate previous;
        int found = 0;
        for (int row = 0; row < days->model()->rowCount(); ++row) {
            for (int column = 0; column < days->model()->columnCount(); ++column) {
                const QDate date = CalendarAccessible::dateAt(*picker.MonthCalendar1, row, column);
                const QString text = days->model()->index(row, column).data().toString();
                if (row == 0) {
                    EXPECT_FALSE(date.isValid()) << text.toStdString();
                    continue;
                }
                ASSERT_TRUE(date.isValid()) << row << "," << column;
                EXPECT_EQ(QString::number(date.day()), text);
                if (previous.isValid()) {
                    EXPECT_EQ(previous.addDays(1), date) << "the days follow one another";
                }
                previous = date;
                found += date == shown;
            }
        }
        EXPECT_EQ(found, 1);
    }
}

} // namespace

namespace {

// Under a window manager or a Wayland compositor the panel and every window without an owner
// of its own stay with the sheet: each is shown as the sheet's transient child; a menu is not.
TEST_F(CommandPanelTest, EveryOtherWindowIsShownAsTheSheetsTransientChild)
{
    open();
    showSheet(*sheet);
    QWindow *owner = sheet->windowHandle();
    ASSERT_TRUE(owner);

    TAboutForm about(u"1.0"_s);
    QMenu menu;
    menu.addAction(u"an entry"_s);
    struct Case {
        const char *what;
        QWidget *window;
        bool transient;
    };
    const Case cases[] = {
        {"the command panel", panel.get(), true},
        {"the About window", &about, true},
        {"a menu", &menu, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.window->show();
        ASSERT_TRUE(c.window->windowHandle());
        EXPECT_EQ(c.window->windowHandle()->transientParent() == owner, c.transient);
        c.window->hide();
    }
}

} // namespace

namespace {

TEST_F(CommandPanelTest, ARightClickBringsBackAMinimisedPanel)
{
    open();
    QTest::mousePress(sheet->ScrollBox1->viewport(), Qt::RightButton, {}, QPoint(100, 50));
    panel->setWindowState(Qt::WindowMinimized); // from the window manager's menu
    QTest::mousePress(sheet->ScrollBox1->viewport(), Qt::RightButton, {}, QPoint(120, 60));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->windowState() & Qt::WindowMinimized);
}

} // namespace
