// The sheet window's interactions that are not text edits: where pop-ups open, the
// command panel, the logo and the PO date.

#include "TPurchaseOrderForm.h"

#include "GenUtils.h"
#include "IniBatch.h"
#include "LineItemGrid.h"
#include "Platform.h"
#include "ScreenPlace.h"
#include "PoApplication.h"
#include "SheetGroupBox.h"
#include "SheetImage.h"
#include "SheetJournal.h"
#include "SheetKeyboard.h"
#include "SheetKeys.h"
#include "SheetLabel.h"
#include "TCalendarForm.h"
#include "TLineItems.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"

#include <QCalendarWidget>
#include <QMouseEvent>
#include <QScrollArea>

namespace {

const QString PictureFilter = QStringLiteral(
    "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");

} // namespace

void TPurchaseOrderForm::connectHandlers()
{
    const auto control = [this](QWidget *sender, QMouseEvent *e) {
        const QPoint at = e->position().toPoint();
        ControlMouseDown(sender, e->button(), at.x(), at.y());
    };
    for (QObject *c : m_components) {
        if (auto *label = qobject_cast<SheetLabel *>(c)) {
            connect(label, &SheetLabel::Clicked, this, [this](SheetLabel *l) { openEditorLater(l); });
        } else if (auto *box = qobject_cast<SheetGroupBox *>(c)) {
            box->OnMouseDown = control;
            connect(box, &SheetGroupBox::Clicked, this, [this](SheetGroupBox *b) { openEditorLater(b); });
        }
    }
    StringGrid1->OnMouseDown = control;
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { StringGrid1SelectCell(column, row); });
    connect(StringGrid1, &EditTextGrid::EditTextChanged, this,
            [this](int column, int row) { StringGrid1SetEditText(column, row); });
    connect(StringGrid1, &EditTextGrid::CellDoubleClicked, this, [this](QPointF at, quint64 time) {
        PoApplication::runCommandLater(this, [this, at, time] { StringGridDoubleClick(TLineItems::OpeningClick{at, time}); });
    });
    for (const SheetFields::HoverHint &h : SheetFields::hoverHints()) {
        SheetLabel *target = Label(QString::fromLatin1(h.field));
        SheetLabel *caption = Label(QString::fromLatin1(h.captionField));
        const QString prefix = QString::fromLatin1(h.prefix);
        target->setMouseTracking(true);
        target->OnMouseMove = [caption, prefix](SheetLabel *l) { l->SetHint(prefix + caption->Caption()); };
    }
    // The table's columns are named after their headings (its own header row is hidden).
    StringGrid1->setHorizontalHeaderLabels(QStringList(StringGrid1->columnCount(), QString()));
    for (int c = 0; c < StringGrid1->columnCount(); ++c) {
        SheetLabel *heading = Label(SheetFields::ColumnHeading(c));
        StringGrid1->horizontalHeaderItem(c)->setText(heading->Caption());
        connect(heading, &SheetLabel::CaptionChanged, this,
                [this, c](const QString &caption) {
                    StringGrid1->horizontalHeaderItem(c)->setText(caption);
                    StringGrid1->NameCells();
                });
    }
    StringGrid1->NameCells();
    connect(Image1, &SheetImage::Clicked, this, [this] { openEditorLater(Image1); });
    ScrollBox1->viewport()->installEventFilter(this);
    m_scrollContent->installEventFilter(this);

    SheetKeyboard::Actions keys;
    keys.activate = [this](QWidget *stop, QRect area) {
        // As for a click at the text's left end, just below it.
        placeDialogsBelow(area.bottomLeft() + QPoint(0, 1));
        openEditorLater(stop);
    };
    keys.commandPanel = [this](QRect area) {
        FDialogLeft = area.left();
        FDialogTop = area.bottom() + 1;
        callUpPanel({FDialogLeft, FDialogTop});
    };
    keys.tableDialog = [this] { PoApplication::runCommandLater(this, [this] { StringGridDoubleClick(); }); };
    m_keyboard = new SheetKeyboard(this, ScrollBox1, StringGrid1, std::move(keys));
}

bool TPurchaseOrderForm::focusNextPrevChild(bool next)
{
    return m_keyboard->Move(next);
}

void TPurchaseOrderForm::placeDialogsBelow(QPoint pointer)
{
    const QSize screen = platform().screenSize();
    FDialogLeft = std::min(screen.width() - 250, pointer.x());
    FDialogTop = std::min(screen.height() - 120, pointer.y() + 10);
}

void TPurchaseOrderForm::openEditorLater(QWidget *element)
{
    PoApplication::runCommandLater(element, [this, element] {
        if (auto *label = qobject_cast<SheetLabel *>(element))
            LabelClick(label);
        else if (auto *box = qobject_cast<SheetGroupBox *>(element))
            LabelSetValue(box);
        else if (element == Image1)
            Image1Click(Image1);
    });
}

bool TPurchaseOrderForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == m_scrollContent || watched == ScrollBox1->viewport())) {
        // The scroll box's own coordinates are those of its visible area.
        auto *e = static_cast<QMouseEvent *>(event);
        const QPoint at = static_cast<QWidget *>(watched)->mapTo(ScrollBox1->viewport(),
                                                                  e->position().toPoint());
        ControlMouseDown(ScrollBox1, e->button(), at.x(), at.y());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TPurchaseOrderForm::LabelClick(SheetLabel *label)
{
    // A text opened from the keyboard was never hovered: its hint ("Value for Discounts"),
    // which titles its dialog, is brought up to date as the pointer would have.
    if (label->OnMouseMove)
        label->OnMouseMove(label);
    switch (label->Field().click) {
    case ClickAction::LabelSetValue:
        LabelSetValue(label);
        break;
    case ClickAction::LabelSetFont:
        LabelSetFont(label);
        break;
    case ClickAction::CalculatedValue:
        CalculatedValue(label);
        break;
    case ClickAction::Label17Click:
        Label17Click(label);
        break;
    case ClickAction::labelPODateClick:
        labelPODateClick(label);
        break;
    case ClickAction::Image1Click:
        Image1Click(label);
        break;
    default:
        break;
    }
}

void TPurchaseOrderForm::ControlMouseDown(QWidget *sender, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::RightButton || !ShowCommandPanel)
        return;
    FDialogLeft = x;
    FDialogTop = y;
    // The sender's place inside its container, taken as a screen position as it stands.
    callUpPanel(sheetPos(sender) + QPoint(x, y));
}

void TPurchaseOrderForm::callUpPanel(QPoint at)
{
    FCurrencySymbol = CaptionSaver1->ReadTextDefault(SheetKeys::Currency, QString());
    FCurrencyCode = CaptionSaver1->ReadTextDefault(SheetKeys::Country, QString());
    ShowCommandPanel(at, FCurrencyCode, FCurrencySymbol);
}

void TPurchaseOrderForm::showLogo(bool shown)
{
    Panel2->move(Image1->x() + (shown ? Image1->pixmap().width() + 10 : 0), Panel2->y());
    Label(u"labelForLogo")->setVisible(!shown);
}

void TPurchaseOrderForm::Image1Click(QObject *sender)
{
    OpenPictureDialog1->InitialDir = AppDir();
    if (sender == Image1) {
        const MsgResult answer = platform().messageBox(
            this, QStringLiteral("Clear Logo"),
            QStringLiteral("REMOVE logo \"%1\" from form?")
                .arg(ExtractFileName(OpenPictureDialog1->FileName)),
            MsgIcon::Information, MsgButtons::YesNo);
        if (answer == MsgResult::Yes) {
            OpenPictureDialog1->FileName.clear();
            CaptionSaver1->SaveText(SheetKeys::Image1, QString());
            m_journal->FileHolds(SheetJournal::LogoIndex, QString());
            Image1->ClearPicture();
            showLogo(false);
            return;
        }
        Label(u"labelForLogo")->hide(); // No: another picture is to be picked
    }
    FileDialogOptions options;
    options.title = QStringLiteral("Select Company Logo");
    options.filter = PictureFilter;
    options.initialDir = OpenPictureDialog1->InitialDir;
    options.fileName = OpenPictureDialog1->FileName;
    const auto chosen = platform().pictureFileName(this, options);
    if (!chosen)
        return;
    setLogo(*chosen); // written with the next save; the journal keeps it till then
    m_journal->Changed();
    // The keyboard stays where it was, now on the new logo rather than the next text.
    if (Image1->isVisible() && (Image1->focusPolicy() & Qt::TabFocus))
        m_keyboard->Follow(Image1);
}

void TPurchaseOrderForm::labelPODateClick(SheetLabel *sender)
{
    IniBatch batch; // the date and its font reach the file together
    {
        TCalendarForm picker(sender);
        picker.OnClose = [this, sender](const QString &date, const SheetFont &font) {
            sender->SetCaption(date);
            sender->SetFont(font);
            CaptionSaver1->SaveText(sender->objectName(), sender->Caption());
            FontSaver1->SaveFont(sender->objectName(), font);
        };
        picker.SetCalendarFont(sender->Font());
        picker.MonthCalendar1->setSelectedDate(platform().now().date());
        picker.setWindowTitle(QStringLiteral("Set %1").arg(sender->Hint()));
        picker.move(OnScreen({FDialogLeft, FDialogTop}, picker.size(), platform().screenSize()));
        platform().execModal(&picker);
    }
    FontSaver1->SetFont(sender->Font());
    FontSaver1->WriteFont(sender->objectName());
    CaptionSaver1->SetText(sender->Caption());
    CaptionSaver1->WriteText(sender->objectName());
    m_journal->LabelChanged(sender->objectName()); // before a failed write can leave it behind
    batch.commit();
}
