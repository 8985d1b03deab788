#include "ReportPreview.h"

#include "AppError.h"
#include "GenUtils.h"
#include "Platform.h"
#include "ReportPainter.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEngine>
#include <QShortcut>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>

// The key presses the action's button, as a click does: the zoom buttons zoom on their clicks
// (they repeat while held), not on their actions. The key goes into the tooltip, where a
// keyboard user looks for it.
void ReportPreview::giveKey(QToolBar *toolbar, QAction *action, const QKeySequence &key)
{
    auto *button = qobject_cast<QAbstractButton *>(toolbar->widgetForAction(action));
    if (!button)
        return;
    auto *shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    QString tip = action->toolTip();
    tip.remove(QLatin1Char('&'));
    action->setToolTip(QStringLiteral("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
}

ReportPreview::ReportPreview(Report &report, const QString &pdfName, QWidget *parent, MailOrder mail)
    : QPrintPreviewDialog(parent), m_report(report), m_pdfName(pdfName), m_mail(std::move(mail))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(report.title);
    printer()->setDocName(report.title); // the print job's name
    printer()->setFullPage(true);
    connect(this, &QPrintPreviewDialog::paintRequested, this, &ReportPreview::paint);
    if (auto *toolbar = findChild<QToolBar *>()) {
        toolbar->addSeparator();
        QAction *pdf = toolbar->addAction(QStringLiteral("Save as PDF..."));
        pdf->setObjectName(QStringLiteral("SaveAsPdf"));
        pdf->setToolTip(QStringLiteral("Save the purchase order as a PDF file"));
        connect(pdf, &QAction::triggered, this, &ReportPreview::SaveAsPdf);
        QAction *mail = toolbar->addAction(QStringLiteral("E-mail..."));
        mail->setObjectName(QStringLiteral("EmailOrder"));
        mail->setToolTip(m_mail.recipient.isEmpty()
                             ? QStringLiteral("Send the purchase order as a PDF attachment")
                             : QStringLiteral("Send the purchase order as a PDF attachment to %1").arg(m_mail.recipient));
        connect(mail, &QAction::triggered, this, &ReportPreview::EmailOrder);
        keyboardToolbar(toolbar);
    }
}

void ReportPreview::keyboardToolbar(QToolBar *toolbar)
{
    // The desktop's usual keys for the preview's actions, known by their texts.
    const std::pair<const char *, QKeySequence> keys[] = {
        {"Print", QKeySequence::Print},
        {"Save as PDF...", QKeySequence::Save},
        {"E-mail...", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"Zoom in", QKeySequence::ZoomIn},
        {"Zoom out", QKeySequence::ZoomOut},
        {"First page", QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {"Previous page", QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {"Next page", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {"Last page", QKeySequence(Qt::CTRL | Qt::Key_End)},
    };
    for (QAction *action : toolbar->actions()) {
        const QString text = action->text().remove(QLatin1Char('&'));
        for (const auto &[name, key] : keys) {
            if (text == QLatin1StringView(name))
                giveKey(toolbar, action, key);
        }
    }
    // A toolbar's buttons take no focus of their own: every one becomes a Tab stop, pressed by
    // Return as by Space, and Tab runs through the toolbar from left to right.
    QWidget *previous = nullptr;
    for (QAction *action : toolbar->actions()) {
        QWidget *stop = toolbar->widgetForAction(action);
        if (!stop || action->isSeparator())
            continue;
        if (auto *button = qobject_cast<QToolButton *>(stop)) {
            button->setFocusPolicy(Qt::TabFocus);
            button->installEventFilter(this);
        }
        if (!(stop->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            setTabOrder(previous, stop);
        previous = stop;
    }
}

bool ReportPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QToolButton *>(watched);
        if (button && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            button->animateClick();
            return true;
        }
    }
    return QPrintPreviewDialog::eventFilter(watched, event);
}

void ReportPreview::paint(QPrinter *printer)
{
    // The preview paints into pictures of its own; anything else is a real print.
    const QPaintEngine *engine = printer->paintEngine();
    if (engine && engine->type() == QPaintEngine::Picture) {
        ReportPainter::print(m_report, *printer);
        return;
    }
    PrintProgress progress(this);
    ReportPainter::print(m_report, *printer,
                         [&progress](int page, int count) { progress.showPage(page, count); });
}

PrintProgress::PrintProgress(QWidget *owner) : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("PrintProgress"));
    setWindowTitle(QStringLiteral("Printing progress"));
    setFixedSize(260, 60);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Page"));
    m_label->setGeometry(16, 20, 228, 20);
    if (owner)
        move(owner->geometry().center() - rect().center());
}

void PrintProgress::showPage(int page, int count)
{
    m_label->setText(QStringLiteral("Printing page %1 of %2").arg(page).arg(count));
    show();
    raise();
    // Painted now, with no input taken while the pages are sent.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ReportPreview::SaveAsPdf()
{
    FileDialogOptions options;
    options.title = QStringLiteral("Save Purchase Order as PDF");
    options.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf");
    options.defaultExt = QStringLiteral("pdf");
    options.fileName = m_pdfName;
    options.promptOverwrite = true;
    const auto chosen = platform().saveFileName(this, options);
    if (!chosen)
        return;
    if (!ReportPainter::writePdf(m_report, *chosen)) {
        platform().messageBox(this, windowTitle(), QStringLiteral("Unable to write to %1").arg(*chosen),
                              MsgIcon::Error, MsgButtons::Ok);
    }
}

QString ReportPreview::mailFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/pelmora-po/mail");
}

void ReportPreview::EmailOrder()
{
    // A folder of the user's own that no one else can read or plant a file in: the order goes
    // nowhere but to the mail program.
    const QString folder = mailFolder();
    const QString pdf = folder + u'/' + m_pdfName;
    // The folder is checked first: nothing is removed through a link planted in its place.
    const bool written = MakePrivateFolder(folder) && (QFile::remove(pdf) || !QFile::exists(pdf)) &&
                         ReportPainter::writePdf(m_report, pdf);
    if (!written) {
        platform().messageBox(this, windowTitle(), QStringLiteral("Unable to write to %1").arg(pdf),
                              MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    const QString problem = platform().composeMail(m_mail.recipient, m_mail.subject, pdf);
    if (!problem.isEmpty()) {
        platform().messageBox(this, QStringLiteral("No Mail Program"),
                              QStringLiteral("%1\nThe purchase order is saved as\n%2\nto attach to a message.")
                                  .arg(problem, pdf),
                              MsgIcon::Information, MsgButtons::Ok);
    }
}
