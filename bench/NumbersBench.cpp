#include "NumberText.h"
#include "SheetArithmetic.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

void BM_ParseAndFormat(benchmark::State &state)
{
    const QString texts[] = {QStringLiteral("  3.50 "), QStringLiteral("1000000.01"),
                             QStringLiteral("1e2"), QStringLiteral("abc")};
    for (auto _ : state) {
        for (const QString &t : texts) {
            const auto v = NumberText::parse(t, u'.');
            benchmark::DoNotOptimize(NumberText::format(v.value_or(0), u'.'));
        }
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_ParseAndFormat);

void BM_TableRefresh(benchmark::State &state)
{
    const QStringList extended(9, QStringLiteral("1234.56"));
    const auto reader = [](const QString &) { return QStringLiteral("8.25"); };
    for (auto _ : state) {
        SheetArithmetic::FooterAmounts a{NumberText::format(SheetArithmetic::LineItemsTotal(extended, u'.'), u'.'),
                                         "10", "20", {}, "0"};
        a.tax = NumberText::format(SheetArithmetic::TaxTotal(reader, a.shipping, extended, u'.'), u'.');
        benchmark::DoNotOptimize(SheetArithmetic::BalanceDue(a, u'.'));
    }
}
BENCHMARK(BM_TableRefresh);

} // namespace
