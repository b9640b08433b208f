// The manager's Import button on a 1000-row workbook: every row's
// classification lookup and insert in one transaction, then the list reload.
// Run by hand: build/bench/atcmanager_import
#include "atlib/CAtcManageDlg.h"
#include "atlib/CTransferFileDlg.h"
#include "atlib/core/AtcWorkbook.h"
#include "atlib/core/DatabaseFiles.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_ImportWorkbook(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("import.xlsx"));
    std::vector<ulv::AtcWorkbookRow> rows;
    for (int i = 0; i < state.range(0); ++i)
        rows.push_back({QStringLiteral("SMS"), QStringLiteral("AT+BENCH%1").arg(i),
                        QStringLiteral("<n>: 0 off\r\n1 on"), QStringLiteral("Sets feature %1.").arg(i)});
    if (!ulv::WriteAtcWorkbook(book, rows).isEmpty()) {
        state.SkipWithError("cannot write the workbook");
        return;
    }
    const QString shipped = ulv::ShippedDatabaseResource(QString::fromLatin1(ulv::kAtcDbName));
    const QString library = dir.filePath(QStringLiteral("ATC.db"));
    ulv::theApp.m_strAtcDbPath = library;
    ulv::MessageBoxRecorder boxes;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(library);
        QFile::copy(shipped, library);
        QFile::setPermissions(library, QFile::ReadOwner | QFile::WriteOwner);
        ulv::CAtcManageDlg dlg;
        dlg.SetTransferRunner([&](ulv::CTransferFileDlg& t) {
            t.m_strPath = book;
            return int(ulv::IDOK);
        });
        boxes.Clear();
        state.ResumeTiming();
        dlg.OnButtonImport();
        if (boxes.Texts() != QStringList({QStringLiteral("Finished")}))
            state.SkipWithError("the import reported a failure");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportWorkbook)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
