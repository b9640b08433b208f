// Skin button faces: building one (done once per button when a dialog opens,
// about 130 buttons over the program) and painting one (every repaint).
#include "ui/controls/CDibImage.h"
#include "ui/controls/CSkinButton.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

void BM_FillPattern(benchmark::State& state)
{
    const int type = int(state.range(0));
    ulv::CDibImage dib;
    dib.Create(75, 23, 8);
    for (auto _ : state) {
        ulv::CSkinButton::FillPattern(dib, unsigned(type), 8);
        benchmark::DoNotOptimize(dib.GetBits());
    }
}
BENCHMARK(BM_FillPattern)->Arg(4)->Arg(7)->Arg(8);

void BM_DrawFace(benchmark::State& state)
{
    ulv::CDibImage dib;
    dib.Create(75, 23, 8);
    dib.SetGrayPalette();
    ulv::CSkinButton::FillPattern(dib, 4, 8);
    QImage target(75, 23, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        dib.Draw(p, 0, 0);
    }
}
BENCHMARK(BM_DrawFace);

// What the button paints since it keeps its faces converted.
void BM_DrawConvertedFace(benchmark::State& state)
{
    ulv::CDibImage dib;
    dib.Create(75, 23, 8);
    dib.SetGrayPalette();
    ulv::CSkinButton::FillPattern(dib, 4, 8);
    const QImage face = dib.ToImage().convertToFormat(QImage::Format_RGB32);
    QImage target(75, 23, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        p.drawImage(0, 0, face);
    }
}
BENCHMARK(BM_DrawConvertedFace);

} // namespace

BENCHMARK_MAIN();
