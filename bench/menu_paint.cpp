// Opening a 40-item owner-drawn menu: measuring every item and painting every
// item, in the classic and the flat look, and the whole popup as Qt lays it
// out and paints it; and a popup of three columns after a side bar, which
// the menu layer shows in its own popup widget. Goal: under 2 ms per open.
#include "ui/chrome/CMenuXP.h"
#include "ui/chrome/MenuColumnPopup.h"
#include "ui/chrome/MenuResources.h"
#include "ui/chrome/VTMenu.h"
#include "ui/controls/WinLook.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <memory>

using namespace ulv;

namespace {

constexpr int kItems = 40;
constexpr int kToolbar = 990;

std::unique_ptr<VTMenu> MakeMenu(bool flat)
{
    VTMenu::s_drawStyleThemed = flat ? 1 : 0;
    VTMenu::s_drawStyleClassic = flat ? 1 : 0;
    ToolBarResource toolbar { 16, 15, {}, QString() };
    for (int i = 0; i < 8; ++i)
        toolbar.ids.push_back(unsigned(1000 + i));
    RegisterToolBarResource(kToolbar, toolbar);
    QImage strip(16 * 8, 15, QImage::Format_RGB32);
    strip.fill(qRgb(40, 120, 200));
    RegisterBitmapResource(kToolbar, strip);
    auto menu = std::make_unique<VTMenu>();
    menu->CreatePopupMenu();
    for (int i = 0; i < kItems; ++i) {
        if (i % 10 == 9)
            menu->AppendItem(QString(), MF_OWNERDRAW, 0);
        else
            menu->AppendItem(QStringLiteral("Command number &%1\tCtrl+%2").arg(i).arg(i % 10), MF_OWNERDRAW,
                unsigned(1000 + i), i % 5 == 0 ? kToolbar : -1);
    }
    return menu;
}

void MeasureAndPaint(benchmark::State& state, bool flat)
{
    auto menu = MakeMenu(flat);
    QImage target(300, 30 * kItems, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        int y = 0;
        int width = 0;
        for (int i = 0; i < kItems; ++i) {
            MEASUREITEMSTRUCT mis;
            mis.itemData = reinterpret_cast<std::uintptr_t>(menu->Items()[std::size_t(i)]);
            menu->MeasureItem(&mis);
            width = std::max(width, mis.itemWidth);
            DRAWITEMSTRUCT dis;
            dis.hDC = &p;
            dis.rcItem = QRect(0, y, 300, mis.itemHeight);
            dis.itemData = mis.itemData;
            dis.itemState = i == 3 ? UINT(ODS_SELECTED) : (i == 7 ? UINT(ODS_GRAYED) : 0u);
            menu->DrawItem(&dis);
            y += mis.itemHeight;
        }
        benchmark::DoNotOptimize(width);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_MeasureAndPaintClassic(benchmark::State& state) { MeasureAndPaint(state, false); }
void BM_MeasureAndPaintFlat(benchmark::State& state) { MeasureAndPaint(state, true); }
BENCHMARK(BM_MeasureAndPaintClassic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureAndPaintFlat)->Unit(benchmark::kMicrosecond);

// The popup as it opens: layout (every item measured) and one full paint.
void BM_PopupOpen(benchmark::State& state)
{
    auto menu = MakeMenu(state.range(0) != 0);
    QMenu* popup = menu->m_hMenu;
    QImage target(400, 30 * kItems, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        popup->setStyleSheet(QString()); // drops the cached item sizes
        popup->adjustSize();
        popup->render(&target);
    }
}
BENCHMARK(BM_PopupOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A side bar and 40 items in three columns (a break, then a bar break), as
// the popup opens: WM_INITMENUPOPUP, every item measured, one full paint.
void BM_ColumnPopupOpen(benchmark::State& state)
{
    CMenuXP menu;
    menu.CreatePopupMenu();
    menu.m_nStyle = int(state.range(0));
    auto* bar = new CMenuXPItem;
    bar->text = QStringLiteral("Ulvenscope");
    bar->size = 24;
    menu.AppendSideBar(bar);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(qRgb(40, 120, 200));
    for (int i = 0; i < kItems; ++i) {
        if (i == 14)
            menu.Break();
        else if (i == 27)
            menu.BreakBar();
        if (i % 10 == 9) {
            menu.AppendSeparator();
            continue;
        }
        auto* item = new CMenuXPItem;
        item->id = UINT(1000 + i);
        item->text = QStringLiteral("Command number &%1\tCtrl+%2").arg(i).arg(i % 10);
        if (i % 5 == 0)
            item->icon = icon;
        menu.AppendODMenu(i == 7 ? UINT(MF_GRAYED) : 0u, item);
    }
    MenuColumnPopup popup(menu.m_hMenu);
    QImage target(1200, 30 * kItems, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        popup.Prepare();
        popup.resize(popup.sizeHint());
        popup.render(&target);
    }
}
BENCHMARK(BM_ColumnPopupOpen)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
