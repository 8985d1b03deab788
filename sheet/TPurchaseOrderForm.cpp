#include "TPurchaseOrderForm.h"

#include "Colors.h"
#include "FontConvert.h"
#include "GenUtils.h"
#include "LineItemGrid.h"
#include "NumberText.h"
#include "Platform.h"
#include "PoApplication.h"
#include "SheetAccessible.h"
#include "SheetDates.h"
#include "SheetGroupBox.h"
#include "SheetImage.h"
#include "SheetJournal.h"
#include "SheetLabel.h"
#include "StartupSheet.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"
#include "TIniFile.h"
#include "TProgressControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScopeGuard>
#include <QScrollBar>
#include <QDeadlineTimer>
#include <QThread>
#include <QUrl>
#include <QWindow>


namespace {

constexpr int SheetContentHeight = 731; // the lowest field ends here
constexpr int DesignWidth = 786;
constexpr int DesignHeight = 644;
// The longest wait for the window system to show the sheet before its load.
constexpr int FirstPaintWaitMs = 500;
constexpr const char16_t *ApplicationTitle = u"The Purchase Order Form"; // the task-bar entry

QFrame *panel(QWidget *parent, bool raised)
{
    auto *frame = new QFrame(parent);
    if (raised) {
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        FontConvert::fill(frame, Colors::BtnFace);
    }
    return frame;
}

QFrame *bevel(const FieldSpec &field, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    const Geometry &g = field.geometry;
    // A line along the top or the bottom edge of the designed box.
    const int top = field.bevel == BevelShape::TopLine ? g.top : g.top + g.height - 2;
    line->setGeometry(g.left, top, g.width, 2);
    return line;
}

} // namespace

TPurchaseOrderForm::TPurchaseOrderForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("PurchaseOrderForm"));
    // The window's own caption is never shown; its title in the task bar and the window list
    // is the program's title.
    setWindowTitle(QString::fromUtf16(ApplicationTitle));
    PoApplication::setTitle(windowTitle()); // error messages carry it too
    PoApplication::setOwnerWindow(this);    // every other window stays above it
    setFont(FontConvert::toQFont(SheetFields::windowFont()));
    FontConvert::fill(this, Colors::BtnFace);
    resize(DesignWidth, DesignHeight);
    SheetAccessible::install();
    buildComponents();
    m_journal = new SheetJournal([this] { return journalTexts(); }, this);
    // Told once per cause, in the window, after whatever event found it.
    connect(m_journal, &SheetJournal::WriteFailed, this, [this](const QString &message) {
        PoApplication::runCommandLater(this, [this, message] {
            platform().messageBox(this, windowTitle(), message, MsgIcon::Warning, MsgButtons::Ok);
        });
    });
    connectHandlers();
    FormCreate();
}

TPurchaseOrderForm::~TPurchaseOrderForm()
{
    FormDestroy();
}

void TPurchaseOrderForm::buildComponents()
{
    for (const FieldSpec &field : SheetFields::components()) {
        QObject *object = createComponent(field);
        object->setObjectName(field.nameString());
        m_components.push_back(object);
    }
}

QWidget *TPurchaseOrderForm::container(const char *name) const
{
    if (*name == '\0')
        return const_cast<TPurchaseOrderForm *>(this);
    if (qstrcmp(name, "ScrollBox1") == 0)
        return m_scrollContent;
    return qobject_cast<QWidget *>(Component(QString::fromLatin1(name)));
}

QObject *TPurchaseOrderForm::createComponent(const FieldSpec &field)
{
    QWidget *parent = container(field.parent);
    const Geometry &g = field.geometry;
    switch (field.kind) {
    case ComponentKind::Panel: {
        QFrame *p = panel(parent, field.nameString() != u"Panel2"); // Panel2 shows its parent
        p->setGeometry(g.left, g.top, g.width, g.height);
        // A press on the header block or the column headings is theirs: it does not reach
        // the sheet's background, which calls up the command panel.
        p->setAttribute(Qt::WA_NoMousePropagation);
        (field.nameString() == u"Panel1" ? Panel1 : field.nameString() == u"Panel2" ? Panel2 : Panel3) = p;
        return p;
    }
    case ComponentKind::ScrollBox: {
        ScrollBox1 = new QScrollArea(parent);
        ScrollBox1->setGeometry(g.left, g.top, g.width, g.height);
        ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ScrollBox1->setAccessibleName(QStringLiteral("Purchase order")); // where the focus starts
        ScrollBox1->verticalScrollBar()->setSingleStep(20);
        FontConvert::fill(ScrollBox1->viewport(), Colors::White);
        m_scrollContent = new QWidget;
        m_scrollContent->setObjectName(QStringLiteral("ScrollBox1Content"));
        m_scrollContent->resize(g.width - 4, SheetContentHeight);
        FontConvert::fill(m_scrollContent, Colors::White);
        ScrollBox1->setWidget(m_scrollContent);
        return ScrollBox1;
    }
    case ComponentKind::Bevel:
        return bevel(field, parent);
    case ComponentKind::Image:
        Image1 = new SheetImage(parent);
        Image1->setGeometry(g.left, g.top, g.width, g.height);
        return Image1;
    case ComponentKind::Grid:
        StringGrid1 = new LineItemGrid(parent);
        StringGrid1->setGeometry(g.left, g.top, g.width, g.height);
        StringGrid1->SetFont(SheetFields::windowFont());
        return StringGrid1;
    case ComponentKind::Label:
        return new SheetLabel(field, parent);
    case ComponentKind::GroupBox:
        return new SheetGroupBox(field, parent);
    case ComponentKind::NonVisual:
        break;
    }
    const QString name = field.nameString();
    if (name == u"CaptionSaver1" || name == u"FontSaver1") {
        TIniStore *store = name == u"CaptionSaver1"
                               ? static_cast<TIniStore *>(CaptionSaver1 = new TCaptionSaver(this))
                               : static_cast<TIniStore *>(FontSaver1 = new TFontSaver(this));
        store->SetIniName(StartupSheet::ConfigFileName);
        store->SetIniPath(AppPath);
        store->BindConfiguredFile();
        return store;
    }
    if (name == u"ProgressControl1")
        return ProgressControl1 = new TProgressControl(this);
    if (name == u"OpenPictureDialog1")
        return OpenPictureDialog1 = new TOpenPictureDialog(this);
    if (name == u"VersionResource1")
        return VersionResource1 = new TVersionResource(this);
    return new QObject(this); // FontDialog1: the platform runs the font dialog
}

QObject *TPurchaseOrderForm::Component(QStringView name) const
{
    for (QObject *c : m_components) {
        if (c->objectName() == name)
            return c;
    }
    return nullptr;
}

SheetLabel *TPurchaseOrderForm::Label(QStringView name) const
{
    return qobject_cast<SheetLabel *>(Component(name));
}

SheetGroupBox *TPurchaseOrderForm::GroupBox(QStringView name) const
{
    return qobject_cast<SheetGroupBox *>(Component(name));
}

void TPurchaseOrderForm::ComponentNameOf(const QObject *component, QString &name)
{
    if (qobject_cast<const SheetLabel *>(component) || qobject_cast<const SheetGroupBox *>(component))
        name = component->objectName();
}

void TPurchaseOrderForm::ComponentTextOf(const QObject *component, QString &text)
{
    if (const auto *label = qobject_cast<const SheetLabel *>(component))
        text = label->Caption();
    else if (const auto *box = qobject_cast<const SheetGroupBox *>(component))
        text = box->Caption();
}

const SheetFont *TPurchaseOrderForm::ComponentFontOf(const QObject *component)
{
    if (const auto *label = qobject_cast<const SheetLabel *>(component))
        return &label->Font();
    if (const auto *box = qobject_cast<const SheetGroupBox *>(component))
        return &box->Font();
    return nullptr;
}

void TPurchaseOrderForm::FormCreate()
{
    FConfigFile = std::make_unique<TIniFile>(AppFile(StartupSheet::ConfigFileName));
    OpenSheetFile(StartupSheet::Choose(*FConfigFile));
    VersionResource1->FileVersion = QStringLiteral(PO_VERSION);
    // The logo has the header row: above the line beneath it, leaving the company's address
    // room beside it.
    if (const auto *rule = qobject_cast<QWidget *>(Component(u"Bevel1")))
        Image1->SetLargestPicture(QSize(m_scrollContent->width() - Image1->x() - Panel2->width() - 10,
                                        rule->y() - Image1->y()));

    const QDateTime now = platform().now();
    Label(u"labelPONumber")->SetCaption(SheetDates::PONumber(now));
    Label(u"labelPODate")->SetCaption(SheetDates::PODate(now.date(), platform().dateSeparator()));
    Label(u"Label19")->SetCaption(NumberText::format(BalanceDue(), decimalSeparator()));

    const QSize screen = platform().screenSize();
    resize(width(), std::min(780, screen.height() - 15));
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
    fitPanels();
}

void TPurchaseOrderForm::fitPanels()
{
    // The scroll box follows the window's height, 16 pixels shorter than the panel.
    Panel1->setGeometry(rect());
    ScrollBox1->resize(ScrollBox1->width(), std::max(0, Panel1->height() - 16));
}

void TPurchaseOrderForm::resizeEvent(QResizeEvent *event)
{
    fitPanels();
    QWidget::resizeEvent(event);
}

void TPurchaseOrderForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && !m_loaded) {
        m_loaded = true;
        // The sheet is on screen first and fills in behind the progress window: the load
        // starts once the window has been mapped, after this event.
        QMetaObject::invokeMethod(this, [this] { FormShow(); }, Qt::QueuedConnection);
    }
}

void TPurchaseOrderForm::FormShow()
{
    if (!isVisible())
        return; // closed before its load could start
    // Painted before the load's first pause: the window system first has to say that the
    // window is on screen. Input meanwhile waits, and the load's first pause drops it.
    const QDeadlineTimer deadline(FirstPaintWaitMs);
    while (windowHandle() && !windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    repaint();
    m_offerLeftBehind = true;
    if (!m_startOrder.isEmpty() && OpenOrderCommand)
        OpenOrderCommand(m_startOrder);
    else
        LoadSheet();
    if (!m_startProblem.isEmpty())
        PoApplication::runCommandLater(this, [problem = m_startProblem] { PoApplication::showError(problem); });
    // The keyboard starts on the sheet, wherever the progress window left it.
    if (isVisible() && !QApplication::activeWindow())
        activateWindow();
}

void TPurchaseOrderForm::OpenAtStart(const QString &path)
{
    // A file manager may hand over a file: URL ("localhost" is this machine); a relative name
    // is the working folder's. Its folder is resolved as the system resolves it (a ".." after
    // a linked folder), the name itself kept: an order that is a link stays one.
    QString local = path;
    if (path.startsWith(u"file:")) {
        QUrl url(path);
        if (url.host() == u"localhost")
            url.setHost(QString());
        local = url.toLocalFile();
    }
    const QString absolute = QDir::isAbsolutePath(local) ? local : QDir::currentPath() + u'/' + local;
    const qsizetype slash = absolute.lastIndexOf(u'/');
    // Not QFileInfo's folder, which drops "x/.." by the letters.
    const QString folder = QFileInfo(absolute.left(std::max<qsizetype>(slash, 1))).canonicalFilePath();
    const QString full = folder.isEmpty() ? QFileInfo(local).absoluteFilePath()
                                          : QDir(folder).filePath(absolute.mid(slash + 1));
    const QString problem = StartupSheet::OrderProblem(full);
    if (problem.isEmpty())
        m_startOrder = full;
    else
        m_startProblem = problem;
}

void TPurchaseOrderForm::closeEvent(QCloseEvent *event)
{
    if (!m_closeApproved && ExitCommand) {
        // Alt+F4 or the window manager's close: the same question as Exit, one at a time.
        event->ignore();
        if (!m_exitAsked) {
            m_exitAsked = true;
            PoApplication::runCommandLater(this, [this] {
                const auto asked = qScopeGuard([this] { m_exitAsked = false; });
                // Not while a sheet is being read or another window waits for an answer: a
                // save then would store half of it, or end the program under that window.
                if (ExitCommand && !m_reading && !QApplication::activeModalWidget())
                    ExitCommand();
            });
        }
        return;
    }
    FormClose();
    QWidget::closeEvent(event);
}

void TPurchaseOrderForm::FormClose()
{
    // Whatever ends the program keeps what was typed since the last save.
    m_journal->Flush();
    platform().quitHelp();
    // The program ends with this window, even when another top-level window of it (the
    // About window, opened by a command queued before the Exit) is still open.
    QCoreApplication::quit();
}

void TPurchaseOrderForm::CloseProgram()
{
    m_closeApproved = true;
    close();
}

void TPurchaseOrderForm::SessionEnding()
{
    // No question may be asked now: the journal keeps the unsaved texts for the next start.
    PoApplication::setEnding();
    m_ending = true;
    m_journal->Flush();
    m_closeApproved = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void TPurchaseOrderForm::FormDestroy()
{
    FConfigFile.reset();
    FSheetFile.reset();
}

QPoint TPurchaseOrderForm::sheetPos(const QWidget *widget) const
{
    // Inside the scroll box a field's place moves with the scrolled content.
    return widget->parentWidget() == m_scrollContent ? widget->pos() + m_scrollContent->pos()
                                                     : widget->pos();
}

void TPurchaseOrderForm::LabelMouseDown(SheetLabel *label, QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QPoint labelPos = sheetPos(label);
    if (label->parentWidget() == this) {
        FDialogLeft = labelPos.x() + x() + at.x();
        FDialogTop = labelPos.y() + y() + at.y() + 10;
        return;
    }
    const QWidget *parent = label->parentWidget() == m_scrollContent ? ScrollBox1 : label->parentWidget();
    placeDialogsBelow(sheetPos(parent) + pos() + labelPos + at);
}

QChar TPurchaseOrderForm::decimalSeparator() const
{
    return platform().decimalSeparator();
}
