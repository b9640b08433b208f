// Cost of one database routine: every operation opens the file, derives the
// key and closes again, so the key derivation dominates. Run by hand:
//   build/bench/atlib_db
#include "atlib/core/ApnDatabase.h"
#include "atlib/core/AtcDatabase.h"
#include "atlib/core/DatabaseFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The typed-ahead search of the AT Command page: one routine per keystroke.
void BM_SearchAtCommands(benchmark::State& state)
{
    const ulv::DbFile db = ulv::AtcDbFile(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::SearchAtCommands(db, "AT+C"));
}
BENCHMARK(BM_SearchAtCommands)->Unit(benchmark::kMillisecond);

// The page tree: all classifications and their commands in one routine.
void BM_LoadAtcTree(benchmark::State& state)
{
    const ulv::DbFile db = ulv::AtcDbFile(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::LoadAtcTree(db));
}
BENCHMARK(BM_LoadAtcTree)->Unit(benchmark::kMillisecond);

void BM_LookupRecommendedApn(benchmark::State& state)
{
    const ulv::DbFile db = ulv::ApnDbFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::LookupRecommendedApn(db, "001", "01"));
}
BENCHMARK(BM_LookupRecommendedApn)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    ulv::InstallShippedDatabases();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
