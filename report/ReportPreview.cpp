#include "ReportPreview.h"

#include "AppError.h"
#include "Platform.h"
#include "ReportPainter.h"

#include <QAction>
#include <QToolBar>

ReportPreview::ReportPreview(Report &report, const QString &pdfName, QWidget *parent)
    : QPrintPreviewDialog(parent), m_report(report), m_pdfName(pdfName)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(report.title);
    printer()->setDocName(report.title); // the print job's name
    printer()->setFullPage(true);
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *printer) { ReportPainter::print(m_report, *printer); });
    if (auto *toolbar = findChild<QToolBar *>()) {
        toolbar->addSeparator();
        QAction *pdf = toolbar->addAction(QStringLiteral("Save as PDF..."));
        pdf->setObjectName(QStringLiteral("SaveAsPdf"));
        pdf->setToolTip(QStringLiteral("Save the purchase order as a PDF file"));
        connect(pdf, &QAction::triggered, this, &ReportPreview::SaveAsPdf);
    }
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
