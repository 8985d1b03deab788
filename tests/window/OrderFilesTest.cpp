#include "QtPrinters.h"
#include "WindowFixture.h"

#include "RecentFiles.h"
#include "SheetLabel.h"
#include "TControlForm.h"
#include "TPurchaseOrderForm.h"

#include <QApplication>
#include <QUrl>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class OrderFilesTest : public WindowTest
{
protected:
    // The program started with argument, as main() starts it; the load run as the window shows.
    void startWith(const QString &argument)
    {
        panel.reset();
        sheet = std::make_unique<TPurchaseOrderForm>();
        panel = std::make_unique<TControlForm>(sheet.get());
        sheet->OpenAtStart(argument);
        showSheet(*sheet);
        QCoreApplication::processEvents(); // what the load leaves for later: messages, offers
    }
    void TearDown() override
    {
        panel.reset();
        sheet.reset();
        WindowTest::TearDown();
    }

    std::unique_ptr<TPurchaseOrderForm> sheet;
    std::unique_ptr<TControlForm> panel;
};

// An order given to the program opens at start as Load PO opens it, fonts from its companion
// file; one that cannot be read leaves the start-up sheet, says why and is not written to.
TEST_F(OrderFilesTest, AnOrderGivenToTheProgramOpensAtStart)
{
    writeBytes(AppFile(u"template.ini"), "[Label2]\r\nTextValue=Start-up Sheet\r\n");
    writeBytes(path(u"Order 17.pof"_s), "[Label2]\r\nTextValue=Acme Tools\r\n");
    writeBytes(path(u"Order 17.ini"_s), "[Label2]\r\nFontName=Arial\r\nFontSize=20\r\nFontStyle=1\r\nFontColor=0\r\n");
    ASSERT_TRUE(QDir().mkdir(path(u"folder.pof"_s)));
    ASSERT_TRUE(QDir().mkpath(path(u"deep/inside"_s)));
    ASSERT_TRUE(QFile::link(path(u"deep/inside"_s), path(u"linked"_s)));
    writeBytes(path(u"deep/Order 17.pof"_s), "[Label2]\r\nTextValue=Acme Tools\r\n");
    writeBytes(path(u"deep/Order 17.ini"_s), "[Label2]\r\nFontName=Arial\r\nFontSize=20\r\nFontStyle=1\r\nFontColor=0\r\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(u"pipe.pof"_s)).constData(), 0600), 0);
    {
        QFile huge(path(u"huge.pof"_s));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(17 * 1024 * 1024));
    }
    const struct {
        QString argument;
        QString opened;  // the sheet's file then: empty for the start-up sheet
        QString problem; // what the user is told
    } cases[] = {
        {path(u"Order 17.pof"_s), path(u"Order 17.pof"_s), QString()},
        {QString::fromLatin1(QUrl::fromLocalFile(path(u"Order 17.pof"_s)).toEncoded()), path(u"Order 17.pof"_s), QString()},
        {u"file://localhost"_s + QString::fromLatin1(QUrl::fromLocalFile(path(u"Order 17.pof"_s)).toEncoded()).mid(7),
         path(u"Order 17.pof"_s), QString()},
        {path(u"linked/../Order 17.pof"_s), QFileInfo(path(u"deep"_s)).canonicalFilePath() + u"/Order 17.pof"_s, QString()},
        {path(u"missing.pof"_s), QString(), u"was not found"_s},
        {path(u"folder.pof"_s), QString(), u"is not a purchase order file"_s},
        {path(u"pipe.pof"_s), QString(), u"is not a purchase order file"_s},
        {path(u"huge.pof"_s), QString(), u"is larger than 16 MB"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        platform.messages.clear();
        startWith(c.argument);
        if (c.problem.isEmpty()) {
            EXPECT_EQ(sheet->SheetFileName(), c.opened);
            EXPECT_EQ(sheet->Label(u"Label2")->Caption(), u"Acme Tools"_s);
            EXPECT_EQ(sheet->Label(u"Label2")->Font().size, 20) << "the companion file's font";
            EXPECT_TRUE(platform.messages.empty());
            EXPECT_EQ(RecentFiles::used(RecentFiles::listPath(), 10).value(0), c.opened) << "among the recent orders";
        } else {
            EXPECT_EQ(sheet->SheetFileName(), AppFile(u"template.ini"));
            EXPECT_EQ(sheet->Label(u"Label2")->Caption(), u"Start-up Sheet"_s);
            ASSERT_EQ(platform.messages.size(), 1u);
            EXPECT_TRUE(platform.messages[0].text.contains(c.argument)) << platform.messages[0].text.toStdString();
            EXPECT_TRUE(platform.messages[0].text.contains(c.problem)) << platform.messages[0].text.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(path(u"missing.pof"_s))) << "nothing written to it";
    EXPECT_EQ(QFileInfo(path(u"huge.pof"_s)).size(), 17 * 1024 * 1024);
}

// The orders opened and saved are offered by the next Load PO and Save PO As dialogs.
TEST_F(OrderFilesTest, TheDialogsOfferTheOrdersLastUsed)
{
    writeBytes(path(u"first.pof"_s), "[Label2]\r\nTextValue=First\r\n");
    startWith(path(u"first.pof"_s));
    const QString second = path(u"second.pof"_s);
    platform.clock = platform.clock.addSecs(60);
    platform.fileAnswers = {second};
    platform.messageAnswers = {MsgResult::No}; // not loaded at the next start
    ASSERT_TRUE(panel->BitBtn3Click());
    platform.messageAnswers = {MsgResult::No}; // no save before loading
    platform.fileAnswers = {std::nullopt};
    panel->BitBtn2Click();
    ASSERT_EQ(platform.fileDialogs.size(), 2u);
    for (const FileDialogOptions &dialog : platform.fileDialogs)
        EXPECT_TRUE(dialog.recent.contains(path(u"first.pof"_s)));
    EXPECT_EQ(platform.fileDialogs[1].recent.value(0), second) << "the latest first";
}

} // namespace
