// The sheet window: start to loaded sheet, and whole-sheet load and save, with the load's
// pauses left out (the scripted platform does not sleep).

#include "FontConvert.h"
#include "LineItemGrid.h"
#include "ScriptedPlatform.h"
#include "SheetLabel.h"
#include "TPurchaseOrderForm.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct FilledSheet
{
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("order.pof"));
    ScriptedPlatform platform;
    TPurchaseOrderForm form;

    FilledSheet()
    {
        FontConvert::installFontSubstitutions();
        form.OpenSheetFile(file);
        for (int c = 0; c < 7; ++c) {
            for (int r = 0; r < 9; ++r)
                form.StringGrid1->SetCell(c, r, QStringLiteral("%1.%2").arg(c).arg(r));
        }
        form.SaveSheet();
    }
};

void BM_ReadSheet(benchmark::State &state)
{
    FilledSheet sheet;
    for (auto _ : state)
        sheet.form.LoadSheet();
}
BENCHMARK(BM_ReadSheet)->Unit(benchmark::kMillisecond);

void BM_WriteSheet(benchmark::State &state)
{
    FilledSheet sheet;
    int n = 0;
    for (auto _ : state) {
        // A changed cell each time, so that the file really is rewritten.
        sheet.form.StringGrid1->SetCell(4, 0, QString::number(n++));
        sheet.form.SaveSheet();
    }
}
BENCHMARK(BM_WriteSheet)->Unit(benchmark::kMillisecond);

// What the journal's timer does at most twice a second while the user types: the window's
// texts compared with the file's and the journal replaced durably.
void BM_JournalFlush(benchmark::State &state)
{
    FilledSheet sheet;
    int n = 0;
    for (auto _ : state) {
        sheet.form.StringGrid1->SetCell(4, 0, QString::number(n++));
        sheet.form.StringGrid1SetEditText(4, 0);
        sheet.form.SyncRecovery();
    }
}
BENCHMARK(BM_JournalFlush)->Unit(benchmark::kMillisecond);

// From creating the window to the start-up sheet shown, loaded from a saved order.
void BM_StartToLoadedSheet(benchmark::State &state)
{
    FilledSheet sheet;
    for (auto _ : state) {
        TPurchaseOrderForm form;
        form.OpenSheetFile(sheet.file);
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.Label(u"Label2")->Caption());
    }
}
BENCHMARK(BM_StartToLoadedSheet)->Unit(benchmark::kMillisecond);

} // namespace
