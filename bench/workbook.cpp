// Export and import of the AT-command workbook: 10 000 rows written, then
// read back, as the manager's Export and Import buttons do.
#include "atlib/core/AtcWorkbook.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

std::vector<ulv::AtcWorkbookRow> Rows(int n)
{
    std::vector<ulv::AtcWorkbookRow> rows;
    rows.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        rows.push_back({ QStringLiteral("Class %1").arg(i % 12), QStringLiteral("AT+CMD%1=<n>,<m>").arg(i),
            QStringLiteral("<n>: 0 off\r\n1 on\r\n<m>: mode %1").arg(i % 5),
            QStringLiteral("Sets feature %1 of the module; the reply is OK or +CME ERROR.").arg(i) });
    }
    return rows;
}

void BM_WriteWorkbook(benchmark::State& state)
{
    const std::vector<ulv::AtcWorkbookRow> rows = Rows(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    for (auto _ : state) {
        const QString error = ulv::WriteAtcWorkbook(path, rows);
        if (!error.isEmpty())
            state.SkipWithError(error.toUtf8().constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteWorkbook)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReadWorkbook(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    if (!ulv::WriteAtcWorkbook(path, Rows(int(state.range(0)))).isEmpty()) {
        state.SkipWithError("cannot write the workbook");
        return;
    }
    for (auto _ : state) {
        const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
        if (!read.ok || read.rows.size() != size_t(state.range(0)) + 1)
            state.SkipWithError("cannot read the workbook back");
        benchmark::DoNotOptimize(read.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadWorkbook)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
