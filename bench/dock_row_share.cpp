// Sharing a docked row's length one pixel at a time: a frame stretched from
// 800 pixels to a 3840-pixel screen and back, over rows of 2 to 32 sizing bars
// (one of them just shown and keeping its length), is the worst a layout does.
#include "ui/core/DockBarRows.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

struct Row {
    explicit Row(int bars)
    {
        for (int i = 0; i < bars; ++i) {
            auto bar = std::make_unique<ulv::SizingBarModel>();
            bar->m_nDockBarID = ulv::AFX_IDW_DOCKBAR_TOP;
            bar->m_pDockBar = &dock;
            bar->m_szHorz = {800 / bars, 100};
            dock.AddBar(bar.get());
            this->bars.push_back(std::move(bar));
        }
    }
    ulv::DockBarRows dock{ulv::AFX_IDW_DOCKBAR_TOP};
    std::vector<std::unique_ptr<ulv::SizingBarModel>> bars;
};

void BM_ShareRowLength(benchmark::State& state)
{
    Row row(static_cast<int>(state.range(0)));
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        row.bars.back()->m_bKeepSize = true;
        benchmark::DoNotOptimize(row.bars.front()->ShareRowLength(wide ? 3840 : 800, true));
    }
    state.counters["pixels"] = 3040;
}

// Shrinking below what the bars can give: every pass ends on bars at their
// minimums and the remainder is left.
void BM_ShareRowLengthAtMinimums(benchmark::State& state)
{
    Row row(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (auto& bar : row.bars)
            bar->m_szHorz.setWidth(3840 / int(row.bars.size()));
        benchmark::DoNotOptimize(row.bars.front()->ShareRowLength(int(row.bars.size()) * 31 + 2, true));
    }
}

} // namespace

BENCHMARK(BM_ShareRowLength)->Arg(2)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShareRowLengthAtMinimums)->Arg(2)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
