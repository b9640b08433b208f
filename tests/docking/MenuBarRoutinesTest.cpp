#include "ui/chrome/CCommandReBar.h"
#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/COutlookBar.h"
#include "ui/chrome/ChromeStyle.h"
#include "ui/controls/WinLook.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

constexpr int kMainMenu = 128;

struct Frame {
    Frame()
    {
        edit = new QLineEdit;
        window.setCentralWidget(edit);
        EXPECT_TRUE(rebar.Create(&window, kMainMenu, 128, 0xCDCDCD, 0xCDCDCD, 0xCDCDCD, 0x646464, 45, 0xE800));
        window.resize(700, 400);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        bar = rebar.MenuBar();
    }
    QMainWindow window;
    CCommandReBar rebar;
    QLineEdit* edit = nullptr;
    CMenuBarCtrl* bar = nullptr;
};

TEST(MenuBarFrameMessages, ALoneAltMakesTheFirstButtonHotAndAgainGivesTheFocusBack)
{
    Frame f;
    ASSERT_NE(f.bar, nullptr);
    // WM_SYSCOMMAND / SC_KEYMENU with key 0: handled, so the frame does nothing more.
    EXPECT_FALSE(f.rebar.ProcessFrameMessage(0x0112, 0xF100, 0));
    EXPECT_EQ(f.bar->HotItem(), 0);
    EXPECT_TRUE(f.bar->hasFocus());
    EXPECT_TRUE(f.bar->UnderlinesShown());
    EXPECT_FALSE(f.rebar.ProcessFrameMessage(0x0112, 0xF100, 0));
    EXPECT_EQ(f.bar->HotItem(), -1);
    EXPECT_TRUE(f.edit->hasFocus()) << "the focus goes back where it was";
    // The system menu key is not taken.
    EXPECT_TRUE(f.rebar.ProcessFrameMessage(0x0112, 0xF100, ' '));
    EXPECT_FALSE(f.bar->OnSysKeyMenu('x'));
}

TEST(MenuBarFrameMessages, ActivationAndOtherMessages)
{
    Frame f;
    EXPECT_TRUE(f.bar->IsActive());
    EXPECT_TRUE(f.rebar.ProcessFrameMessage(0x0006, 0, 0)); // WM_ACTIVATE, inactive
    EXPECT_FALSE(f.bar->IsActive());
    EXPECT_TRUE(f.rebar.ProcessFrameMessage(0x0006, 1, 0));
    EXPECT_TRUE(f.bar->IsActive());
    EXPECT_TRUE(f.rebar.ProcessFrameMessage(0x0104, 0x12, 0)); // Alt down
    EXPECT_TRUE(f.bar->UnderlinesShown());
    EXPECT_TRUE(f.rebar.ProcessFrameMessage(0x0101, 0x12, 0)); // Alt up: keyboard cues keep them
    EXPECT_TRUE(f.bar->UnderlinesShown());
    EXPECT_TRUE(f.rebar.ProcessFrameMessage(0x0120, 'h', 0)); // WM_MENUCHAR opens by key
    QMenu* help = f.bar->GetMenu().back();
    EXPECT_TRUE(help->isVisible());
    help->close();
    EXPECT_TRUE(f.rebar.ProcessFrameMessage(0x0200, 0, 0)) << "anything else";
    CCommandReBar empty;
    EXPECT_TRUE(empty.ProcessFrameMessage(0x0112, 0xF100, 0)) << "no menu bar";
}

TEST(MenuBarContextMenu, PopupsShowAnywhereByPositionOrText)
{
    Frame f;
    QMenu* tool = f.bar->TrackContextPopupByText(QStringLiteral("&Tool"), 100, 100);
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->isVisible());
    EXPECT_FALSE(f.bar->IsContextInUse()) << "the main menu's popup, no context menu";
    tool->close();
    EXPECT_EQ(f.bar->TrackContextPopupByText(QStringLiteral("Tool"), 0, 0), nullptr) << "the whole text, '&' included";
    EXPECT_EQ(f.bar->TrackContextPopup(99, 0, 0), nullptr);
    EXPECT_FALSE(f.bar->LoadContextMenu(987654));
    ASSERT_TRUE(f.bar->LoadContextMenu(kMainMenu));
    QMenu* context = f.bar->TrackContextPopup(1, 120, 80);
    ASSERT_NE(context, nullptr);
    EXPECT_NE(context, f.bar->GetMenu()[1]) << "the second menu's own popup";
    EXPECT_TRUE(context->isVisible());
    EXPECT_TRUE(f.bar->IsContextInUse());
    context->close();
    QApplication::processEvents();
    EXPECT_FALSE(f.bar->IsContextInUse());
}

TEST(OutlookBarBitmapItems, ABitmapResourceBecomesTheLinePicture)
{
    // testres.qrc: bitmap 9002, 32 x 32 red.
    COutlookBar bar;
    EXPECT_EQ(bar.AddItem(283, "Home"), 0);
    EXPECT_EQ(bar.InsertBitmapItem(0, 9002, "Bitmap"), 0);
    EXPECT_EQ(bar.InsertBitmapItem(-1, 987654, "Missing"), 2);
    ASSERT_EQ(bar.GetCount(), 3);
    EXPECT_EQ(bar.GetItem(0)->text, "Bitmap");
    ASSERT_FALSE(bar.GetItem(0)->icon.isNull());
    EXPECT_EQ(bar.GetItem(0)->icon.toImage().pixel(10, 10), qRgb(200, 30, 30));
    EXPECT_TRUE(bar.GetItem(2)->icon.isNull()) << "a missing bitmap leaves the line without a picture";
    EXPECT_EQ(bar.GetItem(1)->text, "Home");
}

TEST(PopupSystemColours, ItemColoursFollowTheState)
{
    const QRect r(0, 0, 160, 24);
    const struct {
        bool selected, disabled;
        int background;
    } cases[] = {{false, false, COLOR_MENU}, {true, false, COLOR_MENUHILIGHT}, {false, true, COLOR_MENU}};
    for (const auto& c : cases) {
        QImage img(r.size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        ChromeStyle::DrawPopupItemSystemColors(p, r, QStringLiteral("&Open\tCtrl+O"), QFont(), c.selected, c.disabled,
            false, nullptr, -1);
        p.end();
        EXPECT_EQ(img.pixel(80, 2), SysRgb(c.background)) << c.selected << c.disabled;
        if (c.selected) {
            EXPECT_EQ(img.pixel(0, 10), SysRgb(COLOR_HIGHLIGHT)) << "the selection frame";
        }
    }
    QImage checked(r.size(), QImage::Format_RGB32);
    checked.fill(Qt::black);
    QPainter p(&checked);
    ChromeStyle::DrawPopupItemSystemColors(p, r, QStringLiteral("Wrap"), QFont(), false, false, true, nullptr, -1);
    p.end();
    EXPECT_EQ(checked.pixel(1, 5), SysRgb(COLOR_HIGHLIGHT)) << "the check box frame";
}

TEST(MenuBarHandles, AMenuMadeElsewhereReplacesTheLoadedOneWithoutDestroyingIt)
{
    Frame f;
    const std::vector<QMenu*> loaded = f.bar->GetMenuHandle();
    ASSERT_EQ(loaded.size(), 5u);
    QPointer<QMenu> file = loaded.front();
    QMenu own(QStringLiteral("&Own"));
    own.addAction(QStringLiteral("First"));
    f.bar->LoadMenuFromHandle({&own});
    ASSERT_EQ(f.bar->GetMenuHandle().size(), 1u);
    EXPECT_EQ(f.bar->GetMenuHandle().front(), &own);
    EXPECT_TRUE(file) << "the earlier popups are released, not destroyed";
    EXPECT_TRUE(f.bar->OpenMenuByKey(QLatin1Char('o')));
    EXPECT_TRUE(own.isVisible());
    own.close();
}

} // namespace
