#include "ReportPreview.h"

#include "AppError.h"
#include "Platform.h"
#include "ReportPainter.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPaintEngine>
#include <QToolBar>

ReportPreview::ReportPreview(Report &report, const QString &pdfName, QWidget *parent)
    : QPrintPreviewDialog(parent), m_report(report), m_pdfName(pdfName)
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
    }
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
