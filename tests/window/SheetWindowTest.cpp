#include "QtPrinters.h"
#include "WindowFixture.h"

#include "SheetLabel.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"
#include "TIniFile.h"
#include "TPurchaseOrderForm.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class SheetWindowTest : public WindowTest
{
};

TEST_F(SheetWindowTest, TheStartUpSheetFollowsTheConfigurationThenTheFallbacks)
{
    struct Case
    {
        const char *what;
        QByteArray config; // empty: no configuration file
        bool blank, templ;
        QString expected; // a bare name lies in the program's folder
    };
    const Case cases[] = {
        {"nothing there", "", false, false, "varnel.ini"},
        {"blank before template", "", true, true, "blank.ini"},
        {"template alone", "", false, true, "template.ini"},
        {"auto-load names a file", "[Configuration]\r\nAutoLoad=1\r\nAutoLoad File=/no/such/order.pof\r\n",
         true, true, "/no/such/order.pof"},
        {"auto-load without a file", "[Configuration]\r\nAutoLoad=1\r\n", true, false, "varnel.ini"},
        {"auto-load with an empty file", "[Configuration]\r\nAutoLoad=1\r\nAutoLoad File=\r\n",
         true, false, "varnel.ini"},
        {"auto-load as a word is off", "[Configuration]\r\nAutoLoad=yes\r\nAutoLoad File=/x.pof\r\n",
         true, false, "blank.ini"},
        {"any non-zero number is on", "[Configuration]\r\nAutoLoad=-1\r\nAutoLoad File=/x.pof\r\n",
         false, false, "/x.pof"},
    };
    for (const Case &c : cases) {
        removeStartupFiles();
        if (!c.config.isEmpty())
            writeBytes(AppFile(u"varnel.ini"), c.config);
        if (c.blank)
            writeBytes(AppFile(u"blank.ini"), "");
        if (c.templ)
            writeBytes(AppFile(u"template.ini"), "");
        TPurchaseOrderForm form;
        const QString expected = c.expected.startsWith(u'/') ? c.expected : AppFile(c.expected);
        EXPECT_EQ(form.SheetFileName(), expected) << c.what;
        EXPECT_EQ(form.CaptionSaver1->IniFile()->fileName(), expected) << c.what;
        EXPECT_EQ(form.FontSaver1->IniFile()->fileName(), expected) << c.what;
    }
}

TEST_F(SheetWindowTest, CreationFillsPONumberDateAndBalanceFromTheClock)
{
    for (const auto &[sep, date] : {std::pair{u'/', "12/07/2026"}, {u'.', "12.07.2026"}}) {
        platform.dateSep = sep;
        TPurchaseOrderForm form;
        EXPECT_EQ(form.Label(u"labelPONumber")->Caption(), u"1405-12072026"_s);
        EXPECT_EQ(form.Label(u"labelPODate")->Caption(), QString::fromLatin1(date));
        EXPECT_EQ(form.Label(u"Label19")->Caption(), u"0.00"_s);
    }
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(QFile::exists(AppFile(u"varnel.ini"))) << "creation writes nothing";
}

TEST_F(SheetWindowTest, TheWindowIsAsHighAsTheScreenAllowsAndCentred)
{
    for (const auto &[screenHeight, expected] : {std::pair{768, 753}, {1024, 780}, {795, 780}}) {
        platform.screen = QSize(1280, screenHeight);
        TPurchaseOrderForm form;
        EXPECT_EQ(form.height(), expected) << screenHeight;
        EXPECT_EQ(form.x(), (1280 - 786) / 2);
        EXPECT_EQ(form.ScrollBox1->height(), expected - 16);
    }
}

TEST_F(SheetWindowTest, ShowingTheWindowLoadsTheStartUpSheetOnce)
{
    writeBytes(AppFile(u"template.ini"), "[Label2]\r\nTextValue=Acme Corp\r\n"
                                         "[labelPODate]\r\nTextValue=01/02/2025\r\n");
    TPurchaseOrderForm form;
    showSheet(form);
    EXPECT_EQ(form.Label(u"Label2")->Caption(), u"Acme Corp"_s);
    EXPECT_EQ(form.Label(u"labelPODate")->Caption(), u"01/02/2025"_s) << "the stored date wins";
    EXPECT_EQ(form.Label(u"labelPONumber")->Caption(), u"1405-12072026"_s) << "none stored";
    EXPECT_EQ(platform.pausedMs, 48 * 100 + 2 * 200);

    form.hide();
    showSheet(form);
    EXPECT_EQ(platform.pausedMs, 5200) << "a second showing does not load again";
    form.close();
    EXPECT_EQ(platform.helpCalls, QStringList{u"quit"_s});
}

TEST_F(SheetWindowTest, RightAlignedLabelsGrowLeftwardsAndKeepTheirRightEdge)
{
    TPurchaseOrderForm form;
    for (const char *name : {"Label19", "Label13", "Label7"}) {
        SheetLabel *label = form.Label(QString::fromLatin1(name));
        const int right = label->geometry().right();
        const int width = label->width();
        label->SetCaption(label->Caption() + u" and a good deal more"_s);
        EXPECT_GT(label->width(), width) << name;
        EXPECT_EQ(label->geometry().right(), right) << name;
    }
}

TEST_F(SheetWindowTest, APressOnALabelPlacesTheNextEditorBelowThePointer)
{
    platform.screen = QSize(1280, 1024);
    TPurchaseOrderForm form;
    form.LoadSheet(); // installs the press handler on every label
    form.move(119, 7);

    // Label2 lies at 4, 5 in Panel2, which stands at 5, 3 without a logo; only the
    // immediate parent is added.
    QTest::mousePress(form.Label(u"Label2"), Qt::LeftButton, {}, QPoint(6, 3));
    EXPECT_EQ(QPoint(form.DialogLeft(), form.DialogTop()), QPoint(5 + 119 + 4 + 6, 3 + 7 + 5 + 3 + 10));

    // Label14 lies in the scroll box at 4, 7; any button records the place.
    SheetLabel *amount = form.Label(u"Label14");
    QTest::mousePress(amount, Qt::RightButton, {}, QPoint(6, 3));
    EXPECT_EQ(QPoint(form.DialogLeft(), form.DialogTop()),
              QPoint(4 + 119 + amount->x() + 6, 7 + 7 + 607 + 3 + 10));

    // Near the screen's corner the editor is held back from the edges.
    platform.screen = QSize(900, 700);
    QTest::mousePress(amount, Qt::LeftButton, {}, QPoint(6, 3));
    EXPECT_EQ(QPoint(form.DialogLeft(), form.DialogTop()), QPoint(900 - 250, 700 - 120));
}

} // namespace
