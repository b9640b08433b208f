// Gallery pages of the docking bars: sizing bars on the four sides, page bars
// with tabs and captions, a frame with a pinned bar in its strip, and the
// folder outlook bar in both views.
#include "GalleryRegistry.h"

#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CAutoHideFrame.h"
#include "ui/chrome/CBrushBackgroundWnd.h"
#include "ui/chrome/CDockPageBar.h"
#include "ui/chrome/CGfxOutBarCtrl.h"
#include "ui/chrome/CSizingControlBar.h"

#include <QLabel>
#include <QMainWindow>

using namespace ulv;

namespace {

QLabel* Page(const QString& text)
{
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

gallery::Page sizingBars("sizing-bars", [] {
    auto* frame = new QMainWindow;
    frame->setCentralWidget(new CBrushBackgroundWnd);
    const struct {
        Qt::DockWidgetArea area;
        const char* title;
    } sides[] = {{Qt::TopDockWidgetArea, "Top"}, {Qt::LeftDockWidgetArea, "Left"},
        {Qt::RightDockWidgetArea, "Right"}, {Qt::BottomDockWidgetArea, "Bottom"}};
    int id = 100;
    CSizingControlBar* top = nullptr;
    for (const auto& side : sides) {
        auto* bar = new CSizingControlBar;
        bar->Create(QString::fromLatin1(side.title), frame, QSize(120, 80), false, id++);
        bar->setWidget(Page(QString::fromLatin1(side.title)));
        frame->addDockWidget(side.area, bar);
        if (!top)
            top = bar;
    }
    // Two more bars in the top row: the three share its length one pixel at
    // a time, and share it again as the frame is resized.
    CSizingControlBar* previous = top;
    for (const char* title : {"Top, beside", "Top, third"}) {
        auto* beside = new CSizingControlBar;
        beside->Create(QString::fromLatin1(title), frame, QSize(120, 80), false, id++);
        beside->setWidget(Page(QStringLiteral("same row")));
        beside->DockBeside(previous);
        previous = beside;
    }
    // Three bottom bars whose minimums the row cannot hold: the row breaks
    // and the last one gets a row of its own.
    CSizingControlBar* bottom = nullptr;
    for (const char* title : {"Wide 1", "Wide 2", "Wide 3"}) {
        auto* wide = new CSizingControlBar;
        wide->Create(QString::fromLatin1(title), frame, QSize(260, 60), false, id++);
        wide->m_szMinHorz = {260, 32};
        wide->setWidget(Page(QStringLiteral("at least 260 long")));
        if (bottom)
            wide->DockBeside(bottom);
        else
            frame->addDockWidget(Qt::BottomDockWidgetArea, wide);
        bottom = wide;
    }
    frame->setMinimumSize(640, 420);
    return frame;
});

gallery::Page pageBars("page-bars", [] {
    auto* frame = new CAutoHideFrame;
    frame->setCentralWidget(Page(QStringLiteral("work area")));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    auto* single = new CDockPageBar;
    single->Create(QStringLiteral("Output"), frame, 200);
    single->EnableDocking(CBRS_ALIGN_ANY);
    single->AddPage(Page(QStringLiteral("one page, no tabs")), QStringLiteral("Output"));
    frame->addDockWidget(Qt::LeftDockWidgetArea, single);
    auto* tabbed = new CDockPageBar;
    tabbed->Create(QStringLiteral("Messages"), frame, 201);
    tabbed->EnableDocking(CBRS_ALIGN_ANY);
    for (const char* t : {"Received", "Sent", "Drafts with a long title"})
        tabbed->AddPage(Page(QString::fromLatin1(t)), QString::fromLatin1(t));
    tabbed->SetActivePage(1);
    frame->addDockWidget(Qt::RightDockWidgetArea, tabbed);
    auto* pinned = new CDockPageBar;
    pinned->Create(QStringLiteral("Pinned"), frame, 202);
    pinned->EnableDocking(CBRS_ALIGN_ANY);
    pinned->AddPage(Page(QStringLiteral("log")), QStringLiteral("Log"));
    pinned->AddPage(Page(QStringLiteral("data")), QStringLiteral("Data"));
    frame->addDockWidget(Qt::BottomDockWidgetArea, pinned);
    frame->setMinimumSize(640, 420);
    frame->show();
    pinned->HideToEdge();
    tabbed->Body()->setFocus();
    return frame;
});

} // namespace

namespace {

QPixmap Swatch(int size, QColor color)
{
    QPixmap pm(size, size);
    pm.fill(color);
    return pm;
}

gallery::Page folderOutlookBar("folder-outlook-bar", [] {
    auto* page = new QWidget;
    page->setMinimumSize(420, 360);
    static const CGfxOutBarCtrl::ImageList large = {Swatch(32, QColor(0xC0, 0x40, 0x40)), Swatch(32, QColor(0x40, 0xA0, 0x40))};
    static const CGfxOutBarCtrl::ImageList small = {Swatch(16, QColor(0xC0, 0x40, 0x40)), Swatch(16, QColor(0x40, 0xA0, 0x40))};
    const char* names[] = {"Modules", "Messages", "Settings"};
    for (int side = 0; side < 2; ++side) {
        auto* bar = new CGfxOutBarCtrl;
        bar->Create(0, QRect(10 + side * 205, 10, 195, 340), page, 300 + side);
        bar->SetImageList(&large, CGfxOutBarCtrl::fLargeIconList);
        bar->SetImageList(&small, CGfxOutBarCtrl::fSmallIconList);
        for (int f = 0; f < 3; ++f) {
            bar->AddFolder(QString::fromLatin1(names[f]));
            for (int i = 0; i < 5; ++i)
                bar->InsertItem(f, -1, QStringLiteral("Item %1").arg(i), i % 2);
        }
        bar->SetSmallIconView(side == 1);
        if (side == 1)
            bar->StartItemRename(2); // the in-place edit of a caption
    }
    return page;
});

} // namespace
