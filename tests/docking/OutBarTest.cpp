#include "ui/chrome/CGfxOutBarCtrl.h"
#include "ui/chrome/COutBarEdit.h"

#include "../common/EventLoopWait.h"
#include "../chrome/MenuTestUtil.h"
#include "../controls/ControlTestUtil.h"
#include "ui/chrome/MenuResources.h"
#include "ui/chrome/WinMenu.h"

#include <QApplication>
#include <QLabel>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QPixmap Square(int size, QColor color)
{
    QPixmap pm(size, size);
    pm.fill(color);
    return pm;
}

struct Bar {
    explicit Bar(int folders = 3, int items = 4)
    {
        large = {Square(32, Qt::red), Square(32, Qt::green)};
        small = {Square(16, Qt::red), Square(16, Qt::green)};
        host.resize(200, 400);
        bar.Create(0, QRect(0, 0, 200, 400), &host, 100);
        bar.SetImageList(&large, CGfxOutBarCtrl::fLargeIconList);
        bar.SetImageList(&small, CGfxOutBarCtrl::fSmallIconList);
        for (int f = 0; f < folders; ++f) {
            bar.AddFolder(QStringLiteral("Folder %1").arg(f), 10 + f);
            for (int i = 0; i < items; ++i)
                bar.InsertItem(f, -1, QStringLiteral("Item %1").arg(i), i % 2, 100 * f + i);
        }
        bar.SetNotifyHandler([this](int code, const OutBarNotify& note) {
            notes.push_back({code, note});
            return answer;
        });
        bar.SetConfirmFolderDeletion(false);
        host.show();
        QApplication::processEvents();
    }
    std::vector<int> Codes() const
    {
        std::vector<int> out;
        for (const auto& n : notes)
            out.push_back(n.first);
        return out;
    }
    QStringList Items() const
    {
        QStringList out;
        for (int i = 0; i < bar.GetItemCount(); ++i)
            out << bar.GetItemText(i);
        return out;
    }
    QPoint ImageCentre(int item) const
    {
        QRect image;
        bar.GetIconRect(item, &image, nullptr);
        return image.center();
    }
    QWidget host;
    CGfxOutBarCtrl bar;
    CGfxOutBarCtrl::ImageList large, small;
    std::vector<std::pair<int, OutBarNotify>> notes;
    long answer = 1;
};

TEST(GfxOutBarCtrl, FoldersUpToTheOpenOneStackAtTheTopTheRestAtTheBottom)
{
    Bar b(4, 0);
    ASSERT_EQ(b.bar.GetSelFolder(), 1) << "the second folder opens first";
    EXPECT_EQ(b.bar.GetFolderRect(0), QRect(0, -1, 200, 22));
    EXPECT_EQ(b.bar.GetFolderRect(1), QRect(0, 21, 200, 22));
    EXPECT_EQ(b.bar.GetFolderRect(2), QRect(0, 400 - 44, 200, 22));
    EXPECT_EQ(b.bar.GetFolderRect(3), QRect(0, 400 - 22, 200, 22));
    EXPECT_EQ(b.bar.GetInsideRect(), QRect(0, 43, 200, 400 - 44 - 43));

    const QImage img = test::Grab(b.bar);
    EXPECT_EQ(img.pixel(100, 200), ColorRefToRgb(b.bar.m_crBackground));
    EXPECT_EQ(img.pixel(50, 21), ColorRefToRgb(CGfxOutBarCtrl::kShadow)) << "header top line";
}

TEST(GfxOutBarCtrl, WithOneFolderTheSecondFolderIsNotOpened)
{
    Bar b(1, 3);
    EXPECT_EQ(b.bar.GetSelFolder(), 0);
    EXPECT_EQ(b.bar.GetItemCount(), 3);
    EXPECT_EQ(b.bar.GetInsideRect(), QRect(0, 21, 200, 379));
    b.bar.repaint(); // paints the one folder's items without reading past it
    Bar none(0, 0);
    EXPECT_EQ(none.bar.GetSelFolder(), -1);
    EXPECT_EQ(none.bar.GetItemCount(), 0);
    EXPECT_EQ(none.bar.GetItemText(0), "");
    none.bar.repaint();
}

TEST(GfxOutBarCtrl, ClickingAHeaderOpensItsFolder)
{
    Bar b;
    QTest::mouseClick(&b.bar, Qt::LeftButton, {}, b.bar.GetFolderRect(2).center());
    EXPECT_EQ(b.bar.GetSelFolder(), 2);
    EXPECT_EQ(b.Codes(), std::vector<int>{NM_FOLDERCHANGE});
    EXPECT_EQ(b.notes[0].second.index, 2);
    EXPECT_EQ(b.bar.GetItemData(1), 201);
    EXPECT_EQ(b.bar.GetFolderData(), 12);
    // Now stacked at the top.
    EXPECT_EQ(b.bar.GetFolderRect(2).top(), 2 * 22 - 1);
}

TEST(GfxOutBarCtrl, AFolderWithAWindowShowsItInTheContentArea)
{
    Bar b(2, 0);
    auto* child = new QLabel("tree");
    const int index = b.bar.AddFolderBar("Tree", child, 7);
    EXPECT_FALSE(child->isVisible());
    b.bar.SetSelFolder(index);
    EXPECT_EQ(b.bar.GetFolderChild(), child);
    EXPECT_TRUE(child->isVisible());
    EXPECT_EQ(child->geometry(), b.bar.GetInsideRect());
    b.bar.SetSelFolder(0);
    EXPECT_FALSE(child->isVisible());
}

TEST(GfxOutBarCtrl, ItemClickSelectsAndNotifies)
{
    Bar b;
    QTest::mouseClick(&b.bar, Qt::LeftButton, {}, b.ImageCentre(2));
    EXPECT_EQ(b.bar.GetSelItem(), 2);
    ASSERT_EQ(b.Codes(), std::vector<int>{NM_OB_ITEMCLICK});
    EXPECT_EQ(b.notes[0].second.index, 2);
}

TEST(GfxOutBarCtrl, DraggingAnItemMovesItWhenTheOwnerAgrees)
{
    const struct {
        int from;
        int to; // item dropped on; 4 is below the last item
        long answer;
        QStringList result;
        bool notified;
    } cases[] = {
        {0, 2, 1, {"Item 1", "Item 0", "Item 2", "Item 3"}, true},
        {3, 0, 1, {"Item 3", "Item 0", "Item 1", "Item 2"}, true},
        {1, 4, 1, {"Item 0", "Item 2", "Item 3", "Item 1"}, true},
        {0, 2, 0, {"Item 0", "Item 1", "Item 2", "Item 3"}, true},
    };
    for (const auto& c : cases) {
        Bar b;
        b.answer = c.answer;
        const QPoint target = c.to < 4 ? b.ImageCentre(c.to)
                                       : QPoint(100, b.bar.GetItemRect(3).bottom() + 10);
        QTest::mousePress(&b.bar, Qt::LeftButton, {}, b.ImageCentre(c.from));
        QTest::mouseMove(&b.bar, QPoint(2, b.bar.GetInsideRect().top() + 2));
        QTest::mouseMove(&b.bar, target);
        QTest::mouseRelease(&b.bar, Qt::LeftButton, {}, target);
        EXPECT_EQ(b.Items(), c.result) << c.from << "->" << c.to;
        ASSERT_EQ(b.Codes(), std::vector<int>{NM_OB_DRAGITEM});
        EXPECT_EQ(b.notes[0].second.item, c.from);
        EXPECT_EQ(b.notes[0].second.folder, 1);
    }
}

TEST(GfxOutBarCtrl, DroppingAnItemOnItselfSendsNothing)
{
    Bar b;
    QTest::mousePress(&b.bar, Qt::LeftButton, {}, b.ImageCentre(1));
    QTest::mouseMove(&b.bar, QPoint(2, b.bar.GetInsideRect().top() + 2));
    QTest::mouseMove(&b.bar, b.ImageCentre(1));
    QTest::mouseRelease(&b.bar, Qt::LeftButton, {}, b.ImageCentre(1));
    EXPECT_TRUE(b.notes.empty());
    EXPECT_EQ(b.Items(), (QStringList{"Item 0", "Item 1", "Item 2", "Item 3"}));
}

TEST(GfxOutBarCtrl, ArrowsScrollTheItems)
{
    Bar b(3, 12);
    EXPECT_FALSE(b.bar.IsUpArrowShown());
    b.bar.repaint();
    ASSERT_TRUE(b.bar.IsDownArrowShown()) << "items below are cut off";
    QTest::mouseClick(&b.bar, Qt::LeftButton, {}, b.bar.DownArrowRect().center());
    EXPECT_EQ(b.bar.FirstVisibleItem(), 1);
    b.bar.repaint();
    EXPECT_TRUE(b.bar.IsUpArrowShown());
    QTest::mouseClick(&b.bar, Qt::LeftButton, {}, b.bar.UpArrowRect().center());
    EXPECT_EQ(b.bar.FirstVisibleItem(), 0);
    b.bar.repaint();
    EXPECT_FALSE(b.bar.IsUpArrowShown());
    // Few items: no arrows at all.
    Bar few(3, 2);
    few.bar.repaint();
    EXPECT_FALSE(few.bar.IsDownArrowShown());
}

TEST(GfxOutBarCtrl, FolderRenameAsksTheOwner)
{
    for (long answer : {1L, 0L}) {
        Bar b;
        b.answer = answer;
        b.bar.StartFolderRename(0);
        COutBarEdit* edit = b.bar.ActiveEdit();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "Folder 0");
        edit->setText("Inbox");
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_EQ(b.Codes(), std::vector<int>{NM_OB_ONGROUPENDEDIT});
        EXPECT_EQ(b.notes[0].second.text, "Inbox");
        EXPECT_EQ(b.bar.GetFolderText(0), answer ? "Inbox" : "Folder 0");
    }
}

TEST(GfxOutBarCtrl, ItemRenameEndsOnEnterAndEscCancels)
{
    Bar b;
    b.bar.SetSmallIconView(true);
    b.bar.StartItemRename(1);
    COutBarEdit* edit = b.bar.ActiveEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->m_growMode, 1);
    edit->setText("Renamed item");
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(b.bar.GetItemText(1), "Renamed item");
    ASSERT_EQ(b.Codes(), std::vector<int>{NM_OB_ONLABELENDEDIT});

    b.bar.StartItemRename(2);
    edit = b.bar.ActiveEdit();
    edit->setText("Never");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(b.bar.GetItemText(2), "Item 2");
    EXPECT_EQ(b.notes.size(), 1u);

    b.bar.StartItemRename(3);
    b.bar.ActiveEdit()->clear();
    QTest::keyClick(b.bar.ActiveEdit(), Qt::Key_Return);
    EXPECT_EQ(b.bar.GetItemText(3), "Item 3") << "an empty caption is not reported";
    EXPECT_EQ(b.notes.size(), 1u);
}

TEST(GfxOutBarCtrl, RemovingTheOpenFirstFolderOpensTheNewFirst)
{
    Bar b;
    b.bar.SetSelFolder(0);
    b.notes.clear();
    b.bar.RemoveFolder(0);
    EXPECT_EQ(b.bar.GetFolderCount(), 2);
    EXPECT_EQ(b.bar.GetSelFolder(), 0);
    EXPECT_EQ(b.bar.GetFolderText(0), "Folder 1");
    EXPECT_EQ(b.bar.GetItemData(0), 100);
    // Removing a folder before the open one keeps the same folder open.
    b.bar.SetSelFolder(1);
    b.bar.RemoveFolder(0);
    EXPECT_EQ(b.bar.GetFolderText(b.bar.GetSelFolder()), "Folder 2");
}

TEST(GfxOutBarCtrl, ItemIndexesOutsideTheFolderChangeNothing)
{
    Bar b;
    for (int index : {-1, 4, 100}) {
        EXPECT_EQ(b.bar.GetItemText(index), "");
        EXPECT_EQ(b.bar.GetItemData(index), 0);
        EXPECT_EQ(b.bar.GetItemImage(index), 0);
        b.bar.SetItemData(index, 5);
        b.bar.SetItemImage(index, 1);
        b.bar.RemoveItem(index);
    }
    EXPECT_EQ(b.bar.GetItemCount(), 4);
    b.bar.SetItemImage(2, 1);
    EXPECT_EQ(b.bar.GetItemImage(2), 1);
    b.bar.RemoveItem(0);
    EXPECT_EQ(b.Items(), (QStringList{"Item 1", "Item 2", "Item 3"}));
}

TEST(GfxOutBarCtrl, ContextMenuFollowsTheViewAndTheFlags)
{
    Bar b;
    std::unique_ptr<QMenu> menu(b.bar.BuildContextMenu(CGfxOutBarCtrl::htItem, 1));
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isEnabled() ? "" : " (off)"));
    EXPECT_EQ(texts, (QStringList{"Small icon style", "Big icon style (off)", "-", "Delete child item",
                         "Rename chile item"}));
    EXPECT_EQ(GetMenuItemID(menu.get(), 3), UINT(CGfxOutBarCtrl::ID_GFX_REMOVEITEM));
    b.bar.OnContextCommand(int(GetMenuItemID(menu.get(), 0)));
    EXPECT_TRUE(b.bar.IsSmallIconView());
    b.bar.ModifyFlags(CGfxOutBarCtrl::fRemoveGroups | CGfxOutBarCtrl::fEditGroups, 0);
    menu.reset(b.bar.BuildContextMenu(CGfxOutBarCtrl::htFolder, 0));
    EXPECT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions()[1]->isEnabled()) << "big icons are offered in the small view";
    menu.reset(b.bar.BuildContextMenu(CGfxOutBarCtrl::htItem, 2));
    b.bar.OnContextCommand(int(GetMenuItemID(menu.get(), 3))); // delete
    EXPECT_EQ(b.Items(), (QStringList{"Item 0", "Item 1", "Item 3"}));
}

TEST(GfxOutBarCtrl, RightClickTracksAnIconMenuAndRunsTheChosenCommand)
{
    // The bar's toolbar: small view red, big view green.
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(Qt::green);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            strip.setPixel(x, y, qRgb(255, 0, 0));
    RegisterToolBarResource(CGfxOutBarCtrl::kContextMenuToolbar,
        {16, 16, {UINT(CGfxOutBarCtrl::ID_GFX_SMALLICON), UINT(CGfxOutBarCtrl::ID_GFX_LARGEICON)}, QString()});
    RegisterBitmapResource(CGfxOutBarCtrl::kContextMenuToolbar, strip);
    Bar b;
    bool ownerDrawn = false;
    QImage shot;
    ulv::test::WhenPopupShown([&](QMenu* popup) {
        ownerDrawn = GetMenuItemType(popup, 0, MF_BYPOSITION) & MF_OWNERDRAW;
        shot = popup->grab().toImage().convertToFormat(QImage::Format_RGB32);
        popup->setActiveAction(popup->actions()[0]);
        ulv::test::Key(popup, Qt::Key_Return);
    });
    const QPoint at = b.ImageCentre(1);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, b.bar.mapToGlobal(at));
    QApplication::sendEvent(&b.bar, &click);
    ClearRegisteredResources();
    EXPECT_TRUE(ownerDrawn);
    EXPECT_TRUE(test::HasPixel(shot, QRect(0, 0, 40, shot.height()), qRgb(255, 0, 0))) << "the toolbar's picture";
    EXPECT_TRUE(b.bar.IsSmallIconView()) << "the chosen command ran";
}

TEST(GfxOutBarCtrl, SelectedItemBlinksInTenSteps)
{
    Bar b;
    QTest::mouseClick(&b.bar, Qt::LeftButton, {}, b.ImageCentre(0));
    b.bar.SetAnimSelHighlight(10);
    EXPECT_TRUE(test::RunEventsUntil([&] { return b.bar.BlinkStep() == 10; }, 5000));
    EXPECT_TRUE(test::RunEventsUntil([&] { return b.bar.BlinkStep() == -1; }, 5000)) << "past 10 comes -1";
    b.bar.SetAnimSelHighlight(0);
}

} // namespace

TEST(GfxOutBarCtrl, DestroyingTheBarDuringARenameReportsNothing)
{
    // The bar as a window of its own: closing it moves the focus out of the
    // edit while the bar is being destroyed.
    QWidget host;
    host.resize(300, 300);
    auto* bar = new CGfxOutBarCtrl;
    ASSERT_TRUE(bar->Create(0, QRect(0, 0, 200, 300), &host, 100));
    bar->setWindowFlags(Qt::Window);
    bar->AddFolder("Folder 0", 10);
    bar->AddFolder("Folder 1", 11);
    std::vector<int> codes;
    bar->SetNotifyHandler([&codes](int code, const OutBarNotify&) {
        codes.push_back(code);
        return 1L;
    });
    host.show();
    bar->show();
    bar->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(bar));
    bar->StartFolderRename(1);
    QPointer<COutBarEdit> edit = bar->ActiveEdit();
    ASSERT_TRUE(edit);
    edit->setText("Renamed");
    ASSERT_TRUE(test::RunEventsUntil([&] { return edit->hasFocus(); }, 5000));
    delete bar;
    EXPECT_TRUE(edit.isNull());
    EXPECT_TRUE(codes.empty());
}
