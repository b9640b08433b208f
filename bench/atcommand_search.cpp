// The AT Command page's live search: what one keystroke costs while a
// 10-character command is typed into the command edit over the shipped library
// (the hex echo, the search and the help box filled). Goal: under 5 ms, so
// typing never lags. Run by hand:
//   build/bench/atcommand_search
#include "atlib/CTestItemDlg_atcommand.h"
#include "atlib/core/AtcDatabase.h"
#include "atlib/core/DatabaseFiles.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void TypeCommand(benchmark::State& state, int moduleType)
{
    const QString typed = QStringLiteral("AT+CGDCONT");
    ulv::CTestItemDlg_atcommand page;
    page.SetLibrary(ulv::AtcDbFile(moduleType));
    page.ReloadTree();
    int k = 0;
    for (auto _ : state) {
        // One keystroke: the edit grows by one character, then starts over.
        page.CommandEdit()->setText(typed.left(k % typed.size() + 1));
        ++k;
    }
    state.SetLabel("per keystroke");
}

void BM_TypeCommandGsmLibrary(benchmark::State& state) { TypeCommand(state, 0); }
void BM_TypeCommandUmtsLibrary(benchmark::State& state) { TypeCommand(state, 1); }
BENCHMARK(BM_TypeCommandGsmLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeCommandUmtsLibrary)->Unit(benchmark::kMillisecond);

// The query alone, on the connection the page keeps open.
void BM_SearchOnOpenConnection(benchmark::State& state)
{
    const QString typed = QStringLiteral("AT+CGDCONT");
    ulv::EncryptedDb conn(ulv::AtcDbFile(1));
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ulv::SearchAtCommands(conn, typed.left(k % typed.size() + 1)));
        ++k;
    }
}
BENCHMARK(BM_SearchOnOpenConnection)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ulv::InstallShippedDatabases();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
