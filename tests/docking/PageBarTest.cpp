#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CDockPageContext.h"
#include "ui/controls/WinLook.h"

#include "../common/EventLoopWait.h"
#include "../controls/ControlTestUtil.h"
#include "DockingTestUtil.h"

#include <QDialog>
#include <QMdiArea>
#include <QFontMetrics>
#include <QLineEdit>
#include <QToolBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;
using ulv::test::DockFrame;
using ulv::test::Grab;
using ulv::test::HasPixel;

namespace {

QPoint CaptionPoint(CDockPageBar* bar, int x = 10)
{
    return bar->Caption()->mapToGlobal(QPoint(x, 8));
}

TEST(DockPageBar, SecondPageAddsTheTabStrip)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(200, Qt::LeftDockWidgetArea, {"Log"});
    EXPECT_EQ(bar->GetPageCount(), 1);
    EXPECT_TRUE(bar->TabStripRect().isEmpty());
    EXPECT_FALSE(HasPixel(Grab(*bar->Body()), bar->Body()->rect(), CDockPageBar::kTabStrip));
    const int oneHeight = bar->PageArea().height();

    bar->AddPage(new QLabel("Data"), "Data");
    QApplication::processEvents();
    EXPECT_EQ(bar->TabStripRect().height(), CDockPageBar::kTabStripHeight - 1);
    EXPECT_EQ(bar->PageArea().height(), oneHeight - CDockPageBar::kTabStripHeight);
    EXPECT_TRUE(HasPixel(Grab(*bar->Body()), bar->TabStripRect(), CDockPageBar::kTabStrip));
    // Only the active page shows; the first page was made active.
    EXPECT_EQ(bar->GetActivePage(), 0);
    EXPECT_TRUE(bar->GetPageItem(0)->m_pWnd->isVisible());
    EXPECT_FALSE(bar->GetPageItem(1)->m_pWnd->isVisible());
    EXPECT_EQ(bar->Title(), "Log");
}

TEST(DockPageBar, ClickingATabShowsItsPage)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(201, Qt::LeftDockWidgetArea, {"One", "Two", "Three"});
    const QRect tab = bar->GetPageItem(2)->m_rect;
    QTest::mouseClick(bar->Body(), Qt::LeftButton, {}, tab.center());
    EXPECT_EQ(bar->GetActivePage(), 2);
    EXPECT_EQ(bar->Title(), "Three");
    EXPECT_EQ(bar->windowTitle(), "Three");
    EXPECT_TRUE(bar->GetPageItem(2)->m_pWnd->isVisible());
    EXPECT_FALSE(bar->GetPageItem(0)->m_pWnd->isVisible());
    bar->SetActivePage(9); // nothing there
    EXPECT_EQ(bar->GetActivePage(), 2);
    EXPECT_EQ(bar->GetPageItem(9), nullptr);
}

TEST(DockPageBar, TabsThatDoNotFitShareTheStripEqually)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(202, Qt::LeftDockWidgetArea,
        {"A rather long page title", "Another long page title", "Third long title here"});
    f.frame.resizeDocks({bar}, {120}, Qt::Horizontal);
    QApplication::processEvents();
    const QRect strip = bar->TabStripRect();
    const int share = (strip.width() - 8) / 3;
    for (int i = 0; i < 3; ++i) {
        const QRect r = bar->GetPageItem(i)->m_rect;
        EXPECT_EQ(r.width(), share - 1) << i;
        EXPECT_LE(r.right(), strip.right()) << i;
    }
    EXPECT_EQ(bar->GetPageItem(1)->m_rect.left(), bar->GetPageItem(0)->m_rect.left() + share + 1);
}

TEST(DockPageBar, TitleElisionDropsTwoCharactersAtATime)
{
    const QFontMetrics fm(LogFont(QStringLiteral("Tahoma"), -11));
    const QString title = QStringLiteral("Received short messages");
    EXPECT_EQ(CDockPageBar::ElideTitle(fm, title, 1000), title);
    // Room for all but a few characters: the shortest cut that fits, then two
    // more dropped for the dots.
    const int room = fm.horizontalAdvance(title.left(title.size() - 3));
    const QString cut = CDockPageBar::ElideTitle(fm, title, room);
    EXPECT_EQ(cut, title.left(title.size() - 4 - 2) + "...");
    // At most ten cuts of two.
    EXPECT_EQ(CDockPageBar::ElideTitle(fm, title, 1), title.left(title.size() - 22) + "...");
}

TEST(DockPageBar, CaptionColoursFollowTheFocus)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(203, Qt::LeftDockWidgetArea, {"Log"});
    auto* other = new QLineEdit;
    auto* tools = new QToolBar;
    f.frame.addToolBar(Qt::TopToolBarArea, tools);
    tools->addWidget(other);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(bar->IsCaptionActive());
    const QRect band(0, 0, bar->Caption()->width(), CDockPageBar::kCaptionBand);
    QImage img = Grab(*bar->Caption());
    EXPECT_EQ(img.pixel(20, 5), CDockPageBar::kInactiveCaption);
    EXPECT_EQ(img.pixel(0, 5), CDockPageBar::kInactiveFrame);

    bar->GetPageItem(0)->m_pWnd->setFocusPolicy(Qt::StrongFocus);
    bar->GetPageItem(0)->m_pWnd->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(bar->IsCaptionActive());
    img = Grab(*bar->Caption());
    EXPECT_EQ(img.pixel(20, 5), CDockPageBar::kActiveCaption);
    EXPECT_TRUE(HasPixel(img, bar->m_closeButton.GetRect(), qRgb(255, 255, 255))) << "white glyph";
    EXPECT_EQ(bar->m_closeButton.GetRect(), QRect(band.right() + 1 - 15, 2, 13, 13));
    EXPECT_EQ(bar->m_pinButton.GetRect(), QRect(band.right() + 1 - 32, 2, 13, 13));
}

TEST(DockPageBar, AFloatingBarShowsTheMiniFrameCaption)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(209, Qt::LeftDockWidgetArea, {"Log", "Data"});
    ASSERT_FALSE(bar->IsCaptionActive());
    bar->setFloating(true);
    QApplication::processEvents();
    EXPECT_FALSE(bar->HasCaption());
    QImage img = Grab(*bar->Caption());
    EXPECT_EQ(img.pixel(20, 5), SysRgb(bar->IsCaptionActive() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    EXPECT_FALSE(bar->m_pinButton.GetRect().intersects(bar->Caption()->rect())) << "nothing to pin to";
    EXPECT_TRUE(bar->Caption()->rect().contains(bar->m_closeButton.GetRect()));
    QTest::mouseClick(bar->Caption(), Qt::LeftButton, {}, bar->m_closeButton.GetRect().center());
    EXPECT_FALSE(bar->isVisible()) << "the close box hides the bar";

    bar->show();
    bar->setFloating(false);
    QApplication::processEvents();
    EXPECT_TRUE(bar->HasCaption());
    img = Grab(*bar->Caption());
    EXPECT_EQ(img.pixel(20, 5), bar->IsCaptionActive() ? CDockPageBar::kActiveCaption : CDockPageBar::kInactiveCaption);
    EXPECT_TRUE(bar->Caption()->rect().contains(bar->m_pinButton.GetRect()));
}

TEST(DockPageBar, CloseButtonHidesWithoutDestroying)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(204, Qt::RightDockWidgetArea, {"Log"});
    QPointer<CDockPageBar> alive(bar);
    QTest::mouseClick(bar->Caption(), Qt::LeftButton, {}, bar->m_closeButton.GetRect().center());
    QApplication::processEvents();
    EXPECT_TRUE(alive);
    EXPECT_FALSE(bar->isVisible());
}

TEST(DockPageBar, PinButtonMovesTheBarIntoTheStripOfItsSide)
{
    DockFrame f;
    const struct {
        Qt::DockWidgetArea area;
        int strip;
    } cases[] = {
        {Qt::LeftDockWidgetArea, kAutoHideLeftId},
        {Qt::RightDockWidgetArea, kAutoHideRightId},
        {Qt::TopDockWidgetArea, kAutoHideTopId},
        {Qt::BottomDockWidgetArea, kAutoHideBottomId},
    };
    int id = 210;
    for (const auto& c : cases) {
        CDockPageBar* bar = f.AddBar(id++, c.area, {"Log", "Data"});
        QTest::mouseClick(bar->Caption(), Qt::LeftButton, {}, bar->m_pinButton.GetRect().center());
        QApplication::processEvents();
        CAutoHideBar* strip = f.frame.Strip(c.strip);
        ASSERT_NE(strip, nullptr);
        EXPECT_FALSE(bar->isVisible());
        EXPECT_TRUE(strip->isVisible());
        ASSERT_EQ(strip->GroupCount(), 1);
        EXPECT_EQ(strip->Group(0)->m_tabs.size(), 2u);
    }
}

TEST(DockPageBar, PageBarsInOneRowShareItLikeAnySizingBar)
{
    DockFrame f;
    CDockPageBar* left = f.AddBar(230, Qt::BottomDockWidgetArea, {QStringLiteral("One")});
    auto* right = new CDockPageBar;
    right->Create(QStringLiteral("Beside"), &f.frame, 231);
    right->EnableDocking(CBRS_ALIGN_ANY);
    right->AddPage(new QLabel(QStringLiteral("Two")), QStringLiteral("Two"));
    right->m_szHorz = {150, 120};
    ASSERT_TRUE(right->DockBeside(left));
    right->show();
    // The bar just shown keeps its 150 pixels; the first takes the rest of
    // the row, and both get the computed lengths.
    ASSERT_TRUE(test::RunEventsUntil(
        [&] {
            return right->width() == 150 && left->m_szHorz.width() == left->width() && left->y() == right->y()
                && right->x() > left->x();
        },
        10000))
        << left->width() << " + " << right->width();
    EXPECT_EQ(left->RowBars(), (std::vector<CSizingControlBar*>{left, right}));
    EXPECT_EQ(right->height(), 200) << "the row's widest cross size, the first bar's 200";
    EXPECT_EQ(left->height(), 200);
    EXPECT_EQ(right->m_szHorz.height(), 200);
}

TEST(DockPageBar, AFloatingBarHasNoEdgeToHideTo)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(220, Qt::LeftDockWidgetArea, {"Log"});
    bar->setFloating(true);
    QApplication::processEvents();
    bar->HideToEdge();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(f.frame.Strip(kAutoHideLeftId)->GroupCount(), 0);
}

TEST(DockPageContext, DroppingOnAnotherCaptionMergesThePages)
{
    DockFrame f;
    CDockPageBar* target = f.AddBar(230, Qt::LeftDockWidgetArea, {"One"});
    CDockPageBar* source = f.AddBar(231, Qt::RightDockWidgetArea, {"Two", "Three"});
    QPointer<CDockPageBar> gone(source);
    QWidget* caption = source->Caption();
    QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(10, 8));
    QTest::mouseMove(caption, caption->mapFromGlobal(CaptionPoint(target)));
    EXPECT_EQ(source->DragContext()->m_dwOverDockStyle, CDockPageContext::kMerge);
    EXPECT_EQ(source->DragContext()->m_pMergeTarget, target);
    QTest::mouseRelease(caption, Qt::LeftButton, {}, caption->mapFromGlobal(CaptionPoint(target)));
    EXPECT_EQ(target->GetPageCount(), 3);
    EXPECT_EQ(target->GetPageItem(2)->m_sTitle, "Three");
    EXPECT_EQ(target->GetActivePage(), 2);
    EXPECT_TRUE(test::RunEventsUntil(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return gone.isNull();
        },
        5000));
}

TEST(DockPageContext, ATornOffPageMergesAloneAndReleasingOverItselfChangesNothing)
{
    DockFrame f;
    CDockPageBar* target = f.AddBar(240, Qt::LeftDockWidgetArea, {"One"});
    CDockPageBar* source = f.AddBar(241, Qt::RightDockWidgetArea, {"Two", "Three"});
    CDockPageContext* context = source->DragContext();

    context->StartDrag(CaptionPoint(source, 30));
    context->DropBar();
    EXPECT_EQ(source->GetPageCount(), 2) << "released over the dragged bar itself";
    EXPECT_TRUE(source->isVisible());

    source->SetActivePage(1);
    context->m_bPageDrag = true;
    context->StartDrag(CaptionPoint(target));
    context->DropBar();
    EXPECT_EQ(target->GetPageCount(), 2);
    EXPECT_EQ(target->GetPageItem(1)->m_sTitle, "Three");
    EXPECT_EQ(source->GetPageCount(), 1);
    EXPECT_EQ(source->GetPageItem(0)->m_sTitle, "Two");
}

TEST(DockPageContext, DraggingATabAlongTheStripReordersIt)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(250, Qt::LeftDockWidgetArea, {"One", "Two", "Three"});
    QWidget* body = bar->Body();
    QTest::mousePress(body, Qt::LeftButton, {}, bar->GetPageItem(0)->m_rect.center());
    QTest::mouseMove(body, bar->GetPageItem(2)->m_rect.center());
    QTest::mouseRelease(body, Qt::LeftButton, {}, bar->GetPageItem(2)->m_rect.center());
    EXPECT_EQ(bar->GetPageItem(2)->m_sTitle, "One");
    EXPECT_EQ(bar->GetPageItem(0)->m_sTitle, "Three");
    EXPECT_EQ(bar->GetActivePage(), 2);
    EXPECT_FALSE(bar->DragContext()->IsDragging()) << "no bar drag inside the strip";
}

TEST(DockPageContext, TornOffBarsEachGetTheirOwnId)
{
    DockFrame f;
    CDockPageBar* source = f.AddBar(260, Qt::LeftDockWidgetArea, {"One", "Two", "Three"});
    CDockPageContext* context = source->DragContext();
    CDockPageBar* first = context->CreateBarForPage();
    CDockPageBar* second = context->CreateBarForPage();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetDlgCtrlID(), CDockPageContext::kTearOffFirstId);
    EXPECT_NE(second->GetDlgCtrlID(), first->GetDlgCtrlID());
    EXPECT_EQ(first->Title(), "One");
    EXPECT_EQ(source->GetPageCount(), 1);
    EXPECT_NE(CSizingControlBar::StateSection("P", first->GetDlgCtrlID()),
        CSizingControlBar::StateSection("P", second->GetDlgCtrlID()));
}

TEST(DockPageContext, TearingAPageOffAndDroppingItOutsideFloatsIt)
{
    DockFrame f;
    CDockPageBar* source = f.AddBar(270, Qt::LeftDockWidgetArea, {"One", "Two"});
    CDockPageContext* context = source->DragContext();
    const QPoint away = f.frame.mapToGlobal(QPoint(2000, 2000));
    context->m_bPageDrag = true;
    context->StartDrag(away);
    EXPECT_EQ(context->m_dwOverDockStyle, 0u);
    context->DropBar();
    ASSERT_EQ(context->m_createdBars.size(), 1u);
    CDockPageBar* torn = context->m_createdBars.front();
    EXPECT_TRUE(torn->isFloating());
    EXPECT_EQ(torn->GetPageCount(), 1);
    EXPECT_EQ(source->GetPageCount(), 1);
}

TEST(DockPageContext, DroppingAtTheWorkAreaEdgeDocksThere)
{
    DockFrame f;
    CDockPageBar* bar = f.AddBar(280, Qt::LeftDockWidgetArea, {"One"});
    QWidget* work = f.frame.centralWidget();
    const QPoint rightEdge = work->mapToGlobal(QPoint(work->width() - 5, work->height() / 2));
    CDockPageContext* context = bar->DragContext();
    context->StartDrag(rightEdge);
    EXPECT_EQ(context->m_dwDropMode, CDockPageContext::kWorkArea);
    EXPECT_EQ(context->m_dwOverDockStyle, CBRS_ALIGN_RIGHT);
    context->DropBar();
    QApplication::processEvents();
    EXPECT_EQ(bar->DockSide(), AFX_IDW_DOCKBAR_RIGHT);
}

TEST(DockPageContext, DropZones)
{
    const QRect target(100, 100, 300, 200);
    const QRect frame(0, 0, 800, 600);
    const QSize bar(150, 250);
    const struct {
        QRect target;
        QPoint point;
        unsigned mode;
        unsigned style;
        QRect drop;
    } cases[] = {
        {target, {105, 200}, 2, CBRS_ALIGN_LEFT, QRect(100, 100, 150, 200)},
        {target, {395, 200}, 2, CBRS_ALIGN_RIGHT, QRect(250, 100, 150, 200)},
        {target, {250, 110}, 2, CBRS_ALIGN_TOP, QRect(100, 100, 300, 100)},
        {target, {250, 295}, 2, CBRS_ALIGN_BOTTOM, QRect(100, 200, 300, 100)},
        {target, {250, 200}, 2, 0, QRect()}, // the middle is no zone
        {QRect(100, 100, 33, 200), {105, 200}, 2, 0, QRect()}, // too narrow
        {QRect(100, 100, 300, 65), {105, 130}, 2, 0, QRect()}, // too low
        // A frame edge: a band spanning the frame's height, at most half the
        // ungrown target deep.
        {QRect(84, 68, 332, 264), {90, 200}, 4, CBRS_ALIGN_LEFT, QRect(100, 0, 150, 600)},
    };
    for (const auto& c : cases) {
        const DockDropZone zone = CDockPageContext::ComputeDropZone(
            c.target, c.point, c.mode, c.mode == 4 ? frame.size() : bar, frame, 0);
        EXPECT_EQ(zone.overDockStyle, c.style) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(zone.dropRect, c.drop) << c.point.x() << "," << c.point.y();
    }
    // Beside a page bar the zone takes that bar's side and reports its bit.
    const DockDropZone beside = CDockPageContext::ComputeDropZone(target, {250, 290}, 8, bar, frame, CBRS_ALIGN_LEFT);
    EXPECT_EQ(beside.overDockStyle, CBRS_ALIGN_LEFT);
    EXPECT_EQ(beside.zoneBit, 0x800u);
}

TEST(DialogPageBar, DialogsBecomePages)
{
    DockFrame f;
    auto* bar = new CDialogPageBar;
    bar->Create(QStringLiteral("Dialogs"), &f.frame, 290);
    f.frame.addDockWidget(Qt::LeftDockWidgetArea, bar);
    QDialog* dialog = bar->AddDialogPage([](QWidget* parent) { return new QDialog(parent); }, "Settings");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(bar->GetPageCount(), 1);
    EXPECT_EQ(bar->GetPageItem(0)->m_pWnd, dialog);
    EXPECT_FALSE(dialog->isWindow()) << "a child of the bar";
    EXPECT_EQ(bar->AddDialogPage([](QWidget*) { return nullptr; }, "None"), nullptr);
    EXPECT_EQ(bar->AddDialogPage({}, "None"), nullptr);
    EXPECT_EQ(bar->GetPageCount(), 1);
}

TEST(MDIAutoHideFrame, TheMultipleDocumentAreaIsTheWorkArea)
{
    CMDIAutoHideFrame frame;
    frame.EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_EQ(frame.WorkArea(), static_cast<QWidget*>(frame.MdiArea()));
    EXPECT_NE(frame.Strip(kAutoHideLeftId), nullptr);
}

} // namespace
