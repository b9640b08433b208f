// Sorting a report list's rows by one column: 5000 rows of numbers, dates and
// text (the AT-command manager and APN lists hold a few thousand at most).
#include "ui/core/ListSort.h"

#include <benchmark/benchmark.h>

namespace {

QStringList Keys(int kind, int n)
{
    QStringList keys;
    unsigned s = 12345;
    for (int i = 0; i < n; ++i) {
        s = s * 1103515245u + 12345u;
        const unsigned v = (s >> 8) % 100000;
        if (kind == 0)
            keys << QString::number(v);
        else if (kind == 1)
            keys << QStringLiteral("%1/%2/%3").arg(v % 28 + 1, 2, 10, QLatin1Char('0')).arg(v % 12 + 1, 2, 10, QLatin1Char('0')).arg(2000 + v % 25);
        else
            keys << QStringLiteral("AT+C%1 command %2").arg(QChar('A' + v % 26)).arg(v);
    }
    return keys;
}

void BM_SortColumn(benchmark::State& state)
{
    const QStringList keys = Keys(static_cast<int>(state.range(0)), 5000);
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::SortedRowOrder(keys, true));
}

} // namespace

BENCHMARK(BM_SortColumn)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
