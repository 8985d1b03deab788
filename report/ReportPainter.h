#pragma once

#include "ReportEngine.h"

#include <functional>

class QPagedPaintDevice;
class QPainter;

// Paints laid-out pages: one routine for the preview, the printer and PDF files.
namespace ReportPainter {

// Paints one page; the painter's units are layout units with the origin at the paper's
// top-left corner.
void paintPage(QPainter &painter, const ReportPage &page);

// Runs the report and paints every page on device (a printer or a PDF writer), whose
// page layout is set to US Letter without margins of its own. beforePage, when given, is
// told each page (from 1) and the page count before that page is painted.
void print(Report &report, QPagedPaintDevice &device,
           const std::function<void(int page, int count)> &beforePage = {});

// Runs the report into a PDF file; false when the file cannot be written.
bool writePdf(Report &report, const QString &path);

} // namespace ReportPainter
