// The printed order: a full order laid out and painted into a PDF file.

#include "LineItemGrid.h"
#include "ReportPainter.h"
#include "ScriptedPlatform.h"
#include "SheetJournal.h"
#include "TPurchaseOrderForm.h"
#include "TPurchaseOrderReport.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_ReportToPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    TPurchaseOrderForm sheet;
    sheet.OpenSheetFile(dir.filePath(QStringLiteral("order.pof")));
    for (int r = 0; r < 9; ++r) {
        sheet.StringGrid1->SetCell(0, r, QString::number(r + 1));
        sheet.StringGrid1->SetCell(3, r, QStringLiteral("Product %1").arg(r));
        sheet.StringGrid1->SetCell(4, r, QStringLiteral("A description of item %1").arg(r));
        sheet.StringGrid1->SetCell(5, r, QStringLiteral("12.50"));
        sheet.StringGrid1->SetCell(6, r, QStringLiteral("%1.50").arg(12 * (r + 1)));
    }
    sheet.SaveSheet();
    TPurchaseOrderReport report(sheet.SheetFileName(), sheet.StringGrid1->Rows());
    const QString pdf = dir.filePath(QStringLiteral("order.pdf"));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReportPainter::writePdf(report.QuickRep1, pdf));
}
BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kMillisecond);

// One keystroke in the table: the line amount, subtotal, tax and balance.
// Argument 1: with the recovery journal marking the change, as the program runs; 0: without.
void BM_Keystroke(benchmark::State &state)
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    TPurchaseOrderForm sheet;
    sheet.OpenSheetFile(dir.filePath(QStringLiteral("order.pof")));
    sheet.Journal()->SetEnabled(state.range(0) != 0);
    sheet.StringGrid1->SetCell(5, 0, QStringLiteral("2.50"));
    int n = 0;
    for (auto _ : state) {
        sheet.StringGrid1->SetCell(0, 0, QString::number(n++ % 100));
        sheet.StringGrid1SetEditText(0, 0);
    }
}
BENCHMARK(BM_Keystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
