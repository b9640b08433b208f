// Gallery pages of the docking bars: sizing bars on the four sides, page bars
// with tabs and captions, and a frame with a pinned bar in its strip.
#include "GalleryRegistry.h"

#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CAutoHideFrame.h"
#include "ui/chrome/CBrushBackgroundWnd.h"
#include "ui/chrome/CDockPageBar.h"
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
    for (const auto& side : sides) {
        auto* bar = new CSizingControlBar;
        bar->Create(QString::fromLatin1(side.title), frame, QSize(120, 80), false, id++);
        bar->setWidget(Page(QString::fromLatin1(side.title)));
        frame->addDockWidget(side.area, bar);
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
