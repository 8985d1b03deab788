#include "QtPrinters.h"
#include "../window/WindowFixture.h"

#include "LineItemGrid.h"
#include "ReportPreview.h"
#include "SheetLabel.h"
#include "TControlForm.h"
#include "TFontsForm.h"
#include "TIniFile.h"
#include "TPurchaseOrderForm.h"
#include "TTaxForm.h"
#include "TVerificationForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class PrintCommandTest : public SheetAndPanelTest
{
protected:
    // Records the dialogs in the order they come, answering each with answer.
    void answerDialogs(const std::function<void(QDialog *)> &answer)
    {
        platform.onModal = [this, answer](QDialog *d) {
            shown << d->metaObject()->className();
            d->show();
            answer(d);
            if (d->isVisible())
                d->close();
            return d->result();
        };
    }

    QStringList shown;
    QString previewTitle;
};

TEST_F(PrintCommandTest, WithBothFlagsSetItSavesAndPreviewsAtOnce)
{
    const QString file = path("order.pof");
    writeBytes(file, "[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n");
    start(file);
    answerDialogs([](QDialog *) {});
    platform.onPreview = [&](QDialog *d) { previewTitle = d->windowTitle(); };
    panel->BitBtn1Click();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(platform.previews, 1);
    EXPECT_EQ(previewTitle, u"Pelmora PO Form: PO Number 1405-12072026 Printout"_s);
    EXPECT_TRUE(readBytes(file).contains("[Table68]")) << "the sheet was saved first";
}

TEST_F(PrintCommandTest, WithoutFlagsTheTaxDialogComesFirstThenTheCheck)
{
    const QString file = path("order.pof");
    start(file);
    QString checkCaption, boxText;
    answerDialogs([&](QDialog *d) {
        if (auto *check = qobject_cast<TVerificationForm *>(d)) {
            checkCaption = d->windowTitle();
            boxText = check->CheckBox1->text();
            check->BitBtn1->click();
        }
    });
    panel->BitBtn1Click();
    EXPECT_EQ(shown, (QStringList{u"TTaxForm"_s, u"TVerificationForm"_s}));
    EXPECT_EQ(checkCaption, u"Using 1405-12072026 as PO Number"_s);
    EXPECT_EQ(boxText, u"Do not show this message when printing  P.O. 1405-12072026"_s);
    EXPECT_FALSE(TIniFile(file).readBool(u"PONumber", u"NoShow", true));
    EXPECT_EQ(platform.previews, 1);
}

TEST_F(PrintCommandTest, EditWithTheBoxTickedStoresTheFlagAndOpensTheNumberEditor)
{
    const QString file = path("order.pof");
    writeBytes(file, "[TaxForm]\r\nNoShow=1\r\n");
    start(file);
    answerDialogs([&](QDialog *d) {
        if (auto *check = qobject_cast<TVerificationForm *>(d)) {
            check->CheckBox1->setChecked(true);
            check->BitBtn2->click();
        } else if (auto *editor = qobject_cast<TFontsForm *>(d)) {
            editor->Edit1->setText(u"PO-2027"_s);
        }
    });
    platform.onPreview = [&](QDialog *d) { previewTitle = d->windowTitle(); };
    panel->BitBtn1Click();
    EXPECT_EQ(shown, (QStringList{u"TVerificationForm"_s, u"TFontsForm"_s}));
    EXPECT_TRUE(TIniFile(file).readBool(u"PONumber", u"NoShow", false));
    EXPECT_EQ(TIniFile(file).readString(u"labelPONumber", u"TextValue", {}), u"PO-2027"_s);
    EXPECT_EQ(previewTitle, u"Pelmora PO Form: PO Number 1405-12072026 Printout"_s)
        << "the title carries the number read at the start";

    shown.clear();
    panel->BitBtn1Click();
    EXPECT_TRUE(shown.isEmpty()) << "the next print skips the check";
}

TEST_F(PrintCommandTest, ThePreviewPrintsTheSavedOrder)
{
    const QString file = path("order.pof");
    writeBytes(file, "[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n");
    start(file);
    sheet->Label(u"Label2")->SetCaption(u"Acme"_s);
    sheet->StringGrid1->SetCell(0, 0, u"1"_s);
    int pagesPainted = 0;
    // What the "Printing progress" window said each time it was painted.
    struct ProgressWatch : QObject
    {
        QStringList seen;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Paint && o->objectName() == u"PrintProgress") {
                auto *w = static_cast<QWidget *>(o);
                seen << w->windowTitle() + u": "_s + w->findChild<QLabel *>()->text();
            }
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    platform.onPreview = [&](QDialog *d) {
        auto *preview = qobject_cast<ReportPreview *>(d);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("printed.pdf"));
        emit preview->paintRequested(&printer);
        pagesPainted = 1;
    };
    panel->BitBtn1Click();
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(pagesPainted, 1);
    EXPECT_GT(QFileInfo(path("printed.pdf")).size(), 1000);
    EXPECT_EQ(watch.seen, QStringList{u"Printing progress: Printing page 1 of 1"_s});
    // It closed by itself.
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_NE(w->objectName(), u"PrintProgress"_s);
}

TEST_F(PrintCommandTest, ThePreviewSavesTheOrderAsAPdfFileNamedAfterThePONumber)
{
    const QString file = path("order.pof");
    writeBytes(file, "[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n");
    start(file);
    platform.fileAnswers = {path("chosen.pdf")};
    platform.onPreview = [](QDialog *d) { qobject_cast<ReportPreview *>(d)->SaveAsPdf(); };
    panel->BitBtn1Click();
    ASSERT_FALSE(platform.fileDialogs.empty());
    EXPECT_EQ(platform.fileDialogs.back().fileName, u"1405-12072026.pdf"_s);
    EXPECT_TRUE(platform.fileDialogs.back().promptOverwrite) << "an existing PDF is not replaced unasked";
    EXPECT_GT(QFileInfo(path("chosen.pdf")).size(), 1000);

    // A number with a "/" keeps all of it.
    sheet->Label(u"labelPONumber")->SetCaption(u"2026/017"_s);
    panel->BitBtn1Click();
    EXPECT_EQ(platform.fileDialogs.back().fileName, u"2026-017.pdf"_s);
}

// "E-mail..." hands the mail program the PDF that Save as PDF writes, from a private folder,
// to the vendor's address when a text of the vendor's frame is one whole.
TEST_F(PrintCommandTest, ThePreviewMailsTheOrderToTheVendor)
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    const struct {
        const char *vendorLines; // the vendor frame's texts, as the file holds them
        QString recipient;
        bool mailProgram;
    } cases[] = {
        {"[Label41]\r\nTextValue=Northwind Hardware\r\n[Label42]\r\nTextValue= orders@northwind.example.com \r\n",
         u"orders@northwind.example.com"_s, true},
        {"[Label44]\r\nTextValue=sales@north-wind.example.co.uk\r\n", u"sales@north-wind.example.co.uk"_s, true},
        {"[Label42]\r\nTextValue=+49 30 901820\r\n", QString(), true},
        {"[Label42]\r\nTextValue=Mail: orders@northwind.example.com\r\n", QString(), true}, // not one whole
        {"[Label42]\r\nTextValue=a@b.example;touch /tmp/x\r\n", QString(), true},
        {"[Label42]\r\nTextValue=-orders@acme.example\r\n", QString(), true}, // an option to xdg-email
        {"[Label42]\r\nTextValue=orders@northwind.example.com\r\n", u"orders@northwind.example.com"_s, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.vendorLines);
        const QString file = path("order.pof");
        writeBytes(file, QByteArray("[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n[labelPONumber]\r\nTextValue=2026/017\r\n"
                                    "[Table00]\r\nTextValue=2\r\n[Table50]\r\nTextValue=3.00\r\n"
                                    "[Table60]\r\nTextValue=6.00\r\n") + c.vendorLines);
        start(file);
        platform.mails.clear();
        platform.messages.clear();
        platform.mailProgram = c.mailProgram;
        QString text;
        platform.onMail = [&](const ScriptedPlatform::Mail &mail) {
            if (pdftotext.isEmpty())
                return;
            QProcess process;
            process.start(pdftotext, {mail.attachment, u"-"_s});
            process.waitForFinished(20000);
            text = QString::fromUtf8(process.readAllStandardOutput());
        };
        platform.fileAnswers = {path("saved.pdf")};
        platform.onPreview = [](QDialog *d) {
            qobject_cast<ReportPreview *>(d)->EmailOrder();
            qobject_cast<ReportPreview *>(d)->SaveAsPdf();
        };
        panel->BitBtn1Click();
        ASSERT_EQ(platform.mails.size(), 1u);
        const auto &mail = platform.mails.front();
        EXPECT_EQ(mail.recipient, c.recipient);
        EXPECT_EQ(mail.subject, u"Purchase Order 2026/017"_s);
        EXPECT_EQ(mail.attachment, ReportPreview::mailFolder() + u"/2026-017.pdf"_s);
        if (!pdftotext.isEmpty()) {
            EXPECT_TRUE(text.contains(u"2026/017"_s)) << text.toStdString();
            EXPECT_TRUE(text.contains(u"6.00"_s));
            // The page sent is the page Save as PDF writes: every word at its place (the
            // files differ only in their time stamps and document ids).
            const auto words = [&](const QString &pdf) {
                QProcess process;
                process.start(pdftotext, {u"-bbox"_s, pdf, u"-"_s});
                process.waitForFinished(20000);
                QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
                lines.removeIf([](const QString &line) { return !line.trimmed().startsWith(u"<word"); });
                return lines;
            };
            const QStringList sent = words(mail.attachment);
            EXPECT_GT(sent.size(), 20);
            EXPECT_EQ(sent, words(path("saved.pdf")));
        }
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(ReportPreview::mailFolder()).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << "no one else reads the order";
        if (c.mailProgram) {
            EXPECT_TRUE(platform.messages.empty());
        } else {
            ASSERT_EQ(platform.messages.size(), 1u);
            EXPECT_TRUE(platform.messages[0].text.contains(mail.attachment)) << "the user is told where it is";
        }
    }
}

// A link planted where the mail folder goes is refused before anything is removed through it.
TEST_F(PrintCommandTest, AMailFolderThatIsALinkIsRefusedUntouched)
{
    const QString victim = path("elsewhere");
    ASSERT_TRUE(QDir().mkpath(victim));
    writeBytes(victim + u"/2026-017.pdf"_s, "precious");
    QDir(ReportPreview::mailFolder()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(ReportPreview::mailFolder()).path()));
    ASSERT_TRUE(QFile::link(victim, ReportPreview::mailFolder()));
    const QString file = path("order.pof");
    writeBytes(file, "[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n[labelPONumber]\r\nTextValue=2026/017\r\n");
    start(file);
    platform.onPreview = [](QDialog *d) { qobject_cast<ReportPreview *>(d)->EmailOrder(); };
    panel->BitBtn1Click();
    EXPECT_TRUE(platform.mails.empty());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith(u"Unable to write to"_s));
    EXPECT_EQ(readBytes(victim + u"/2026-017.pdf"_s), "precious");
    QFile::remove(ReportPreview::mailFolder());
}

TEST_F(PrintCommandTest, WithTheStartUpBlankSheetNothingIsWrittenByTheSave)
{
    const QByteArray flags = "[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n";
    writeBytes(AppFile(u"blank.ini"), flags);
    sheet = std::make_unique<TPurchaseOrderForm>();
    panel = std::make_unique<TControlForm>(sheet.get());
    sheet->LoadSheet();
    panel->BitBtn1Click();
    EXPECT_EQ(readBytes(AppFile(u"blank.ini")), flags);
    EXPECT_EQ(platform.previews, 1);
}

} // namespace

// Each button of the preview is a Tab stop that Return presses, and the usual actions have
// the desktop's keys, named in their tooltips, which press their buttons (the zoom buttons
// zoom on a click, not on their actions).
TEST_F(PrintCommandTest, EveryPreviewButtonIsReachedAndPressedByTheKeyboard)
{
    const QString file = path("order.pof");
    writeBytes(file, "[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n");
    start(file);
    platform.fileAnswers = {path("keyed.pdf")};
    platform.onPreview = [&](QDialog *d) {
        const struct {
            const char *action;
            QKeySequence key;
        } keys[] = {
            {"Print", QKeySequence::Print},
            {"Save as PDF...", QKeySequence::Save},
            {"Zoom in", QKeySequence::ZoomIn},
            {"Next page", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        };
        auto *toolbar = d->findChild<QToolBar *>();
        ASSERT_NE(toolbar, nullptr);
        for (const auto &k : keys) {
            QAction *action = nullptr;
            for (QAction *a : toolbar->actions())
                action = a->text() == QLatin1StringView(k.action) ? a : action;
            ASSERT_NE(action, nullptr) << k.action;
            EXPECT_TRUE(action->toolTip().contains(k.key.toString(QKeySequence::NativeText))) << k.action;
        }
        QToolButton *pdf = nullptr;
        for (QToolButton *b : toolbar->findChildren<QToolButton *>()) {
            if (!b->defaultAction())
                continue;
            EXPECT_TRUE(b->focusPolicy() & Qt::TabFocus) << b->defaultAction()->text().toStdString();
            if (b->defaultAction()->objectName() == u"SaveAsPdf")
                pdf = b;
        }
        ASSERT_NE(pdf, nullptr);
        auto *pages = d->findChild<QPrintPreviewWidget *>();
        ASSERT_NE(pages, nullptr);
        d->show();
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        pdf->setFocus();
        const qreal zoom = pages->zoomFactor();
        QTest::keySequence(d, QKeySequence::ZoomIn);
        EXPECT_GT(pages->zoomFactor(), zoom) << "Ctrl++ did not zoom in";
        QTest::keySequence(d, QKeySequence::ZoomOut);
        QTest::keySequence(d, QKeySequence::ZoomOut);
        EXPECT_LT(pages->zoomFactor(), zoom) << "Ctrl+- did not zoom out";
        QSignalSpy pressed(pdf->defaultAction(), &QAction::triggered);
        QTest::keyClick(pdf, Qt::Key_Return);
        EXPECT_TRUE(pressed.wait(5000)) << "Return did not press the button";
    };
    panel->BitBtn1Click();
    EXPECT_GT(QFileInfo(path("keyed.pdf")).size(), 1000);
}

namespace {

// Typed quantities and prices that are no numbers are named before anything is printed; only
// "Print Anyway" goes on, and no answer goes back to the sheet with nothing saved.
TEST_F(PrintCommandTest, LinesTheTotalLeavesOutAreNamedBeforePrinting)
{
    const QString file = path("order.pof");
    const QByteArray flags = "[TaxForm]\r\nNoShow=1\r\n[PONumber]\r\nNoShow=1\r\n";
    writeBytes(file, flags);
    start(file);
    sheet->StringGrid1->SetCell(0, 1, u"2"_s);
    sheet->StringGrid1->SetCell(5, 1, u"$3.50"_s);
    sheet->StringGrid1->SetCell(0, 3, u"two"_s);
    const struct {
        std::optional<int> answer;
        int previews;
    } cases[] = {{std::nullopt, 0}, {1, 0}, {0, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answer ? *c.answer : -1);
        platform.previews = 0;
        platform.messages.clear();
        platform.askAnswers = {c.answer};
        panel->BitBtn1Click();
        ASSERT_EQ(platform.messages.size(), 1u);
        const auto &m = platform.messages.front();
        EXPECT_EQ(m.caption, u"Lines Left Out of the Total"_s);
        EXPECT_TRUE(m.text.contains(u"Line 2: Unit Price \"$3.50\" is not a number."_s)) << m.text.toStdString();
        EXPECT_TRUE(m.text.contains(u"Line 4: Qty \"two\" is not a number."_s)) << m.text.toStdString();
        EXPECT_EQ(m.answers, (QStringList{u"&Print Anyway"_s, u"&Go Back"_s}));
        EXPECT_EQ(m.defaultAnswer, 1);
        EXPECT_EQ(platform.previews, c.previews);
        if (c.previews == 0) {
            EXPECT_EQ(readBytes(file), flags) << "nothing saved when going back";
        }
    }
}

} // namespace
