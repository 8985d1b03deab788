#pragma once

#include <QPrintPreviewDialog>
#include <QPrinter>

class Report;

// The preview of a report: pages, zoom, page setup and printing; every print runs the
// report again. A toolbar button saves the order straight into a PDF file.
class ReportPreview : public QPrintPreviewDialog
{
    Q_OBJECT
public:
    // pdfName is the file name proposed for "Save as PDF".
    ReportPreview(Report &report, const QString &pdfName, QWidget *parent = nullptr);

    void SaveAsPdf();

private:
    Report &m_report;
    QString m_pdfName;
};
