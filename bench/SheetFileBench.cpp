// A whole sheet written key by key through the two stores into a fresh file, and read
// back, as a full save and a load do (without the load's pauses).

#include "IniBatch.h"
#include "SheetFields.h"
#include "SheetKeys.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

void writeSheet(TCaptionSaver &texts, TFontSaver &fonts, int edit = 0)
{
    texts.SaveText(SheetKeys::Image1, QStringLiteral("/home/user/logos/acme.jpg"));
    fonts.SaveFont(SheetKeys::StringGrid1, SheetFields::windowFont());
    for (const FieldSpec &f : SheetFields::components()) {
        if (!f.isPersisted())
            continue;
        texts.SaveText(f.nameString(), f.textString());
        fonts.SaveFont(f.nameString(), f.font);
    }
    for (int c = 0; c < SheetFields::GridColumns; ++c) {
        for (int r = 0; r < SheetFields::GridRows; ++r)
            texts.SaveText(SheetFields::TableKey(c, r), QStringLiteral("cell %1%2 %3").arg(c).arg(r).arg(edit));
    }
}

int readSheet(TCaptionSaver &texts, TFontSaver &fonts)
{
    int size = 0;
    size += texts.ReadText(SheetKeys::Image1).size();
    size += fonts.ReadFont(SheetKeys::StringGrid1, SheetFields::windowFont()).size;
    for (const FieldSpec &f : SheetFields::components()) {
        if (!f.isPersisted())
            continue;
        size += texts.ReadTextDefault(f.nameString(), f.textString()).size();
        size += fonts.ReadFont(f.nameString(), f.font).size;
    }
    for (int c = 0; c < SheetFields::GridColumns; ++c) {
        for (int r = 0; r < SheetFields::GridRows; ++r)
            size += texts.ReadText(SheetFields::TableKey(c, r)).size();
    }
    return size;
}

// Arg 0: every text and every font replaces the file on its own; arg 1: the whole sheet
// is one batch, replacing the file once.
void BM_WriteWholeSheetToFreshFile(benchmark::State &state)
{
    QTemporaryDir dir;
    int n = 0;
    for (auto _ : state) {
        const QString file = dir.filePath(QStringLiteral("order%1.pof").arg(n++));
        TCaptionSaver texts(nullptr);
        TFontSaver fonts(nullptr);
        texts.SetIniFileName(file);
        fonts.SetIniFileName(file);
        if (state.range(0)) {
            IniBatch batch;
            writeSheet(texts, fonts);
            batch.commit();
        } else {
            writeSheet(texts, fonts);
        }
    }
}
BENCHMARK(BM_WriteWholeSheetToFreshFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The floor for a durable save: 12 KB (a whole sheet's size) to a temporary file, synced,
// renamed over the file, the folder synced; a full save should cost little more.
void BM_BareDurableReplaceOf12KB(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray file = QFile::encodeName(dir.filePath(QStringLiteral("order.pof")));
    const QByteArray temp = file + ".tmp", folder = QFile::encodeName(dir.path());
    const QByteArray bytes(12 * 1024, 'x');
    for (auto _ : state) {
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const bool ok = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size() &&
                        ::fsync(fd) == 0;
        ::close(fd);
        const int d = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
        if (!ok || ::rename(temp.constData(), file.constData()) != 0 || ::fsync(d) != 0)
            state.SkipWithError("the write failed");
        ::close(d);
    }
}
BENCHMARK(BM_BareDurableReplaceOf12KB)->Unit(benchmark::kMillisecond);

// A sheet already saved in a fresh folder, with the two stores bound to it.
struct SavedSheet
{
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("order.pof"));
    TCaptionSaver texts{nullptr};
    TFontSaver fonts{nullptr};

    SavedSheet()
    {
        texts.SetIniFileName(file);
        fonts.SetIniFileName(file);
        writeSheet(texts, fonts);
    }
};

void BM_ReadWholeSheet(benchmark::State &state)
{
    SavedSheet sheet;
    for (auto _ : state)
        benchmark::DoNotOptimize(readSheet(sheet.texts, sheet.fonts));
}
BENCHMARK(BM_ReadWholeSheet)->Unit(benchmark::kMillisecond);

// A full save over a saved sheet, every cell changed: one durable replacement of the file
// (0), or, for a sheet with a second name, a rewrite in place behind a durable copy (1).
void BM_FullSaveOverSavedSheet(benchmark::State &state)
{
    SavedSheet sheet;
    if (state.range(0) == 1 &&
        ::link(QFile::encodeName(sheet.file).constData(), QFile::encodeName(sheet.file + QStringLiteral(".2")).constData()) != 0)
        state.SkipWithError("no second name");
    int n = 0;
    for (auto _ : state) {
        IniBatch batch;
        writeSheet(sheet.texts, sheet.fonts, ++n);
        batch.commit();
    }
}
BENCHMARK(BM_FullSaveOverSavedSheet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A load right after another program changed the file: it is parsed once, then served
// from the cache.
void BM_ReadWholeSheetAfterOutsideChange(benchmark::State &state)
{
    SavedSheet sheet;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile outside(sheet.file);
        if (outside.open(QIODevice::Append))
            outside.write(QByteArray("; touched ") + QByteArray::number(n++) + "\r\n");
        outside.close();
        state.ResumeTiming();
        benchmark::DoNotOptimize(readSheet(sheet.texts, sheet.fonts));
    }
}
BENCHMARK(BM_ReadWholeSheetAfterOutsideChange)->Unit(benchmark::kMillisecond);

} // namespace
