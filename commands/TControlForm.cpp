#include "FontConvert.h"
#include "TControlForm.h"

#include "GenUtils.h"
#include "Platform.h"
#include "PoApplication.h"
#include "ScreenPlace.h"
#include "SheetFields.h"
#include "TAboutForm.h"
#include "TExitForm.h"
#include "TFileDialog.h"
#include "TPurchaseOrderForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollArea>

TPurchaseOrderForm *PurchaseOrderForm = nullptr;
TControlForm *ControlForm = nullptr;

const QString TControlForm::DesignCaption = QStringLiteral("Purchase Order Form Menubar");

namespace {

const QString SheetFilter = QStringLiteral(
    "Purchase Order Form Files (*.pof)|*.pof|Standard Configuration Files|*.ini; *.inf");

} // namespace

TControlForm::TControlForm(TPurchaseOrderForm *sheet)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_sheet(sheet)
{
    setObjectName(QStringLiteral("ControlForm"));
    setWindowTitle(DesignCaption);
    setWindowIcon(QIcon(QStringLiteral(":/icons/panel.svg")));
    setFont(FontConvert::toQFont(SheetFont{})); // the dialog font, MS Sans Serif 8 pt
    setFixedSize(573, 29);
    move(212, 421);

    btnExit = button("btnExit", QStringLiteral("E&xit"), 479, "exit");
    BitBtn1 = button("BitBtn1", QStringLiteral("&Print"), 289, "print");
    BitBtn2 = button("BitBtn2", QStringLiteral("&Load PO..."), 3, "load");
    BitBtn3 = button("BitBtn3", QStringLiteral("&Save PO As..."), 100, "saveas");
    btnTax = button("btnTax", QStringLiteral("&Taxes..."), 193, "taxes");
    BitBtn4 = button("BitBtn4", QStringLiteral("&Help"), 384, "help");
    setTabOrder(btnExit, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, btnTax);
    setTabOrder(btnTax, BitBtn4);

    SaveDialog1 = new TFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->Options.title = QStringLiteral("Save Purchase Order Form File");
    SaveDialog1->Options.defaultExt = QStringLiteral("pof");
    SaveDialog1->Options.filter = SheetFilter;
    OpenDialog1 = new TFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->Options.title = QStringLiteral("Open Purchase Order Form File");
    OpenDialog1->Options.defaultExt = QStringLiteral("pof");
    OpenDialog1->Options.filter = SheetFilter;
    OpenDialog1->Options.mustExist = true;

    connect(btnExit, &QPushButton::clicked, this, [this] { PoApplication::runCommandLater(this, [this] { btnExitClick(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { PoApplication::runCommandLater(this, [this] { BitBtn4Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { PoApplication::runCommandLater(this, [this] { BitBtn1Click(); }); });
    connect(btnTax, &QPushButton::clicked, this, [this] {
        PoApplication::runCommandLater(this, [this] {
            btnTaxClick();
            // The keyboard goes back where the dialog came from, not to the sheet below.
            if (isVisible()) {
                activateWindow();
                btnTax->setFocus(Qt::OtherFocusReason);
            }
        });
    });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { PoApplication::runCommandLater(this, [this] { BitBtn3Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { PoApplication::runCommandLater(this, [this] { BitBtn2Click(); }); });
    m_sheet->TaxCommand = [this] { btnTaxClick(); };
    m_sheet->ShowCommandPanel = [this](QPoint at, const QString &code, const QString &symbol) {
        ShowAt(at, code, symbol);
    };

    m_sheet->LastChosenSheetFiles = [this] {
        return QStringList{SaveDialog1->FileName, OpenDialog1->FileName};
    };
    m_sheet->ExitCommand = [this] { btnExitClick(); };
    m_sheet->OpenOrderCommand = [this](const QString &chosen) { loadOrder(chosen); };
    ControlForm = this;
}

TControlForm::~TControlForm()
{
    if (ControlForm == this)
        ControlForm = nullptr;
    // A sheet that outlives its panel calls none of it.
    if (m_sheet) {
        m_sheet->TaxCommand = nullptr;
        m_sheet->ShowCommandPanel = nullptr;
        m_sheet->LastChosenSheetFiles = nullptr;
        m_sheet->ExitCommand = nullptr;
        m_sheet->OpenOrderCommand = nullptr;
    }
}

void TControlForm::ShowAt(QPoint at, const QString &currencyCode, const QString &currencySymbol)
{
    move(OnScreen(at, size(), platform().screenSize()));
    QString caption = DesignCaption;
    if (!currencySymbol.isEmpty() && !currencyCode.isEmpty())
        caption += QStringLiteral(", Currency = %1 (%2)").arg(currencyCode, currencySymbol);
    setWindowTitle(caption);
    // A window manager may minimise the panel (openbox offers it in its menu): a right-click
    // brings it back all the same.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    btnExit->setFocus(Qt::ActiveWindowFocusReason); // the first of the tab order
}

void TControlForm::keyPressEvent(QKeyEvent *event)
{
    const int key = event->modifiers() & ~Qt::KeypadModifier ? 0 : event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // As in a dialog, Enter presses the focused button.
        if (auto *b = qobject_cast<QPushButton *>(focusWidget())) {
            b->animateClick();
            return;
        }
    } else if (key == Qt::Key_Escape) {
        hide();
        if (m_sheet) {
            m_sheet->activateWindow();
            m_sheet->raise();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

QPushButton *TControlForm::button(const char *name, const QString &caption, int left, const char *icon)
{
    auto *b = new QPushButton(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1StringView(icon))),
                              caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 2, 93, 25);
    b->setIconSize(QSize(16, 16));
    return b;
}

void TControlForm::btnExitClick()
{
    m_sheet->SetDialogLeft(x());
    m_sheet->SetDialogTop(y());
    bool exiting = false;
    bool saving = false;
    {
        TExitForm exit(this);
        exiting = platform().execModal(&exit) == QDialog::Accepted;
        saving = exit.CheckBox1->isChecked();
    }
    if (exiting && saving && !saveOrder())
        exiting = false;
    if (exiting) {
        if (!saving)
            m_sheet->DiscardRecovery(); // the user's own "do not save"
        close();
        return;
    }
    showAgain();
}

bool TControlForm::saveOrder()
{
    if (blankOrderNeedsName())
        return nameBlankOrder();
    m_sheet->SaveSheet();
    return true;
}

bool TControlForm::blankOrderNeedsName() const
{
    return m_sheet->SaveKeepsBlankSheet() && m_sheet->HasUnsavedTexts();
}

bool TControlForm::nameBlankOrder()
{
    if (!blankOrderNeedsName())
        return true;
    platform().messageBox(this, m_sheet->windowTitle(), // the program's title
                          QStringLiteral("\"%1\" is the blank sheet every order starts from: it is kept "
                                         "unchanged.\r\nSave this order under a name of its own.")
                              .arg(ExtractFileName(m_sheet->SheetFileName())),
                          MsgIcon::Information, MsgButtons::Ok);
    return BitBtn3Click();
}

void TControlForm::showAgain()
{
    // The panel comes back through the sheet's right-click routine, which also refreshes its
    // caption, and stays exactly where it was.
    const QPoint where = pos();
    m_sheet->ControlMouseDown(m_sheet->ScrollBox1, Qt::RightButton, m_sheet->DialogLeft(),
                              m_sheet->DialogTop());
    move(where);
}

void TControlForm::BitBtn4Click()
{
    TAboutForm about(m_sheet->VersionResource1->FileVersion);
    platform().execModal(&about);
}

void TControlForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TControlForm::FormClose()
{
    m_sheet->CloseProgram();
}
