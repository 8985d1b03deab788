#include "TTaxForm.h"

#include "EditTextGrid.h"
#include "FontConvert.h"
#include "NumberText.h"
#include "Platform.h"
#include "SheetKeys.h"
#include "TIniFile.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

TTaxForm::TTaxForm(QWidget *owner, TIniFile *sheetFile)
    : ApplyOnCloseDialog(owner, Qt::Tool | Qt::WindowCloseButtonHint), m_sheetFile(sheetFile)
{
    setObjectName(QStringLiteral("TaxForm"));
    setWindowTitle(QStringLiteral("Enter Tax Percentage For Taxable Items"));
    setFont(FontConvert::toQFont(SheetFont{}));
    setFixedSize(370, 273);
    StringGrid1 = new EditTextGrid(10, 2, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(11, 11, 350, 213);
    StringGrid1->setAccessibleName(windowTitle());
    // Its header row is a row of cells; the hidden header names the columns for a screen reader.
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Item Description"), QStringLiteral("Tax %")});
    QStringList lines{QStringLiteral("Headings")};
    for (int r = 1; r < ShippingRow; ++r)
        lines << QStringLiteral("Line %1").arg(r);
    StringGrid1->setVerticalHeaderLabels(lines << QStringLiteral("Shipping"));
    StringGrid1->NameCells();
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setDefaultSectionSize(21);
    StringGrid1->setColumnWidth(0, 284);
    StringGrid1->setColumnWidth(1, 62);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGrid1->SetTypedOnlyColumn(0); // the product names, shown for reference only
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Row 0 is the fixed header.
    StringGrid1->SetCell(0, 0, QStringLiteral("Item Description"));
    StringGrid1->SetCell(1, 0, QStringLiteral("Tax %"));
    for (int c = 0; c < 2; ++c) {
        QTableWidgetItem *header = StringGrid1->item(0, c);
        header->setFlags(Qt::ItemIsEnabled);
        header->setBackground(palette().button());
    }
    CheckBox1 = new QCheckBox(QStringLiteral("Do not show this again when printing this P.O."), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(11, 227, 349, 17);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(149, 248, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(StringGrid1, &EditTextGrid::EditTextChanged, this, &TTaxForm::StringGrid1SetEditText);
    // As on the sheet, Tab runs through the cells and Ctrl+Tab leaves the grid; the box and
    // the button are stops of their own.
    setTabOrder(StringGrid1, CheckBox1);
    setTabOrder(CheckBox1, BitBtn1);
    const auto key = [this](QKeySequence sequence, auto handler) {
        auto *shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { leaveStop(true); });
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [this] { leaveStop(false); });
    // Return is OK from anywhere, a cell's editor included, which would otherwise take it.
    key(QKeySequence(Qt::Key_Return), [this] { pressOk(); });
    key(QKeySequence(Qt::Key_Enter), [this] { pressOk(); });
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TTaxForm::leaveStop(bool forward)
{
    QWidget *const stops[] = {StringGrid1, CheckBox1, BitBtn1};
    const QWidget *focused = focusWidget();
    int at = 0;
    for (int i = 0; i < 3; ++i) {
        if (focused && (focused == stops[i] || stops[i]->isAncestorOf(focused)))
            at = i;
    }
    // Leaving a cell's editor closes it; its text is in the cell already.
    stops[(at + (forward ? 1 : 2)) % 3]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void TTaxForm::pressOk()
{
    // The editor commits as it loses the focus, before the dialog closes.
    BitBtn1->setFocus(Qt::OtherFocusReason);
    BitBtn1->click();
}

void TTaxForm::StringGrid1SetEditText(int column, int row)
{
    if (column != 1)
        return;
    const QString typed = StringGrid1->Cell(column, row);
    const auto value = NumberText::parse(typed, platform().decimalSeparator());
    if (!value) {
        // A sign alone is the start of a number: kept as typed, so that "-7" reaches its
        // refusal instead of turning into 7.
        const QString t = typed.trimmed();
        if (t != u"-" && t != u"+")
            StringGrid1->SetCell(column, row, QString());
        return;
    }
    if (refusalOf(*value).isEmpty() || m_refusalPending)
        return;
    // The keystroke came through the cell's editor, which the message's own loop closes
    // and deletes: refuse once the keystroke has been handled.
    m_refusalPending = true;
    QMetaObject::invokeMethod(this, [this, row] { refuse(row); }, Qt::QueuedConnection);
}

QString TTaxForm::refusalOf(long double percentage)
{
    if (percentage > 100)
        return QStringLiteral("Percentage exceeds 100%.");
    if (percentage < 0)
        return QStringLiteral("Percentage must be greater than 0%.");
    return QString();
}

void TTaxForm::refuse(int row)
{
    m_refusalPending = false;
    // Keys typed meanwhile count: the cell is judged as it stands now.
    const auto value = NumberText::parse(StringGrid1->Cell(1, row), platform().decimalSeparator());
    const QString refusal = value ? refusalOf(*value) : QString();
    if (refusal.isEmpty())
        return;
    platform().messageBox(this, QStringLiteral("Invalid Tax"), refusal, MsgIcon::Error, MsgButtons::Ok);
    StringGrid1->SetCell(1, row, QStringLiteral("0.00"));
}

void TTaxForm::FinishChecks()
{
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TTaxForm::FormClose()
{
    m_sheetFile->writeBool(SheetKeys::TaxForm, SheetKeys::NoShow, CheckBox1->isChecked());
}
