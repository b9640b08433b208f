#include "MenuTestUtil.h"

#include "ui/chrome/CCoolMenuManager.h"
#include "ui/chrome/MenuResources.h"

#include <QAction>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

constexpr QRgb kRed = 0xFFFF0000;

QImage Strip(int w, int h, int count)
{
    QImage strip(w * count, h, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                strip.setPixel(i * w + x, y, i == 0 ? kRed : qRgb(0, 0, 40 * i));
    return strip;
}

class CoolMenuManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterToolBarResource(910, { 16, 15, { 101, 0, 102 }, QString() });
        RegisterBitmapResource(910, Strip(16, 15, 2));
        RegisterToolBarResource(911, { 16, 15, { 103, 101 }, QString() });
        RegisterBitmapResource(911, Strip(16, 15, 2));
        RegisterToolBarResource(912, { 24, 24, { 104 }, QString() });
        RegisterBitmapResource(912, Strip(24, 24, 1));
    }
    void TearDown() override { ClearRegisteredResources(); }
};

TEST_F(CoolMenuManagerTest, ToolbarsMapCommandsToImages)
{
    CCoolMenuManager manager;
    ASSERT_TRUE(manager.LoadToolbar(910));
    EXPECT_EQ(manager.ImageSize(), QSize(16, 15));
    EXPECT_EQ(manager.ButtonSize(), QSize(20, 19));
    EXPECT_EQ(manager.ImageOf(101), 0);
    EXPECT_EQ(manager.ImageOf(102), 1); // the separator takes no image
    ASSERT_TRUE(manager.LoadToolbar(911));
    EXPECT_EQ(manager.ImageOf(103), 2);
    EXPECT_EQ(manager.ImageOf(101), 0); // a command on two toolbars keeps the first image
    EXPECT_FALSE(manager.LoadToolbar(912)); // another image size is refused
    EXPECT_EQ(manager.Images().Count(), 4);
    EXPECT_EQ(manager.ImageOf(104), -1);
    EXPECT_FALSE(manager.LoadToolbar(999));
    manager.Refresh();
    EXPECT_EQ(manager.Images().Count(), 4);
    EXPECT_EQ(manager.ImageOf(103), 2);
}

TEST_F(CoolMenuManagerTest, PopupIsOwnerDrawnWhileOpenWithToolbarPictures)
{
    MessageLog frame;
    CCoolMenuManager manager;
    manager.Install(&frame);
    ASSERT_TRUE(manager.LoadToolbar(910));
    CCoolMenuManager::SetDefaultAccelerators(&frame, { { 0, 'O', 101 }, { 0, 'N', 102 }, { 0, 'P', 101 } });
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 101, QStringLiteral("&Open\tCtrl+O"));
    AppendMenu(menu, MF_SEPARATOR, 0, QString());
    AppendMenu(menu, MF_STRING, 102, QStringLiteral("&Save"));
    AppendMenu(menu, MF_STRING, 105, QStringLiteral("S&end"));
    AppendMenu(menu, MF_STRING, 106, QStringLiteral("&Stop"));
    int other = 0;
    AppendMenu(menu, MF_OWNERDRAW, 107, QString(), PointerParam(&other)); // someone else's item

    QImage shot;
    std::vector<int> hilites;
    bool ownerDrawn = false;
    WhenPopupShown([&](QMenu* popup) {
        ownerDrawn = GetMenuItemType(menu, 0, MF_BYPOSITION) & MF_OWNERDRAW;
        shot = popup->grab().toImage();
        for (int i = 0; i < 3; ++i) {
            Key(popup, Qt::Key_S, QStringLiteral("s"));
            hilites.push_back(GetHilitePosition(menu));
        }
        Key(popup, Qt::Key_Escape);
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 100, 100, &frame), 0u);
    EXPECT_TRUE(ownerDrawn);
    // Picture in the 20 x 19 button square at the item's left, inside the 3-pixel frame.
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.pixel(3 + 2 + 8, 3 + 2 + 7), kRed);
    // "&Save" and "&Stop" share the key: each press selects the next, wrapping.
    EXPECT_EQ(hilites, (std::vector<int> { 2, 4, 2 }));
    // Closed: plain items with their texts again; the other owner's item untouched.
    EXPECT_FALSE(GetMenuItemType(menu, 0, MF_BYPOSITION) & MF_OWNERDRAW);
    EXPECT_EQ(GetMenuString(menu, 0, MF_BYPOSITION), QStringLiteral("&Open\tCtrl+O"));
    EXPECT_EQ(GetMenuItemData(menu, 5, MF_BYPOSITION), std::uintptr_t(&other));
    EXPECT_TRUE(manager.ConvertedMenus().empty());
    // The accelerators chain each command's entries from its last one.
    EXPECT_EQ(manager.LastAccelerator(101), 2);
    EXPECT_EQ(manager.AcceleratorCopy()[2].cmd, 2);
    EXPECT_EQ(manager.AcceleratorCopy()[0].cmd, 0);
    DestroyMenu(menu);
}

TEST_F(CoolMenuManagerTest, MeasuresAndDrawsOnlyItsOwnItems)
{
    CCoolMenuManager manager;
    ASSERT_TRUE(manager.LoadToolbar(910));
    CoolMenuItem item;
    item.text = QStringLiteral("&Open");
    item.image = 0;
    MEASUREITEMSTRUCT mis;
    mis.itemData = reinterpret_cast<std::uintptr_t>(&item);
    ASSERT_TRUE(manager.OnMeasureItem(&mis));
    const QFontMetrics fm(SystemMenuFont());
    EXPECT_EQ(mis.itemHeight, std::max(fm.height(), 20));
    EXPECT_EQ(mis.itemWidth, 2 * 20 + fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic, QStringLiteral("&Open")).width() + 4 - 15);
    CoolMenuItem separator;
    separator.type = MF_SEPARATOR;
    mis.itemData = reinterpret_cast<std::uintptr_t>(&separator);
    ASSERT_TRUE(manager.OnMeasureItem(&mis));
    EXPECT_EQ(mis.itemHeight, 10);
    int foreign = 0;
    mis.itemData = reinterpret_cast<std::uintptr_t>(&foreign);
    EXPECT_FALSE(manager.OnMeasureItem(&mis));

    // Selected and checked: the button sunken, the text area highlighted.
    const QImage img = PaintItem([&](DRAWITEMSTRUCT* d) { manager.OnDrawItem(d); },
        reinterpret_cast<std::uintptr_t>(&item), QSize(150, 20), ODS_SELECTED | ODS_CHECKED);
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_BTNSHADOW)); // sunken outer edge
    EXPECT_EQ(img.pixel(2 + 8, 2 + 7), kRed);
    EXPECT_EQ(img.pixel(100, 10), SysRgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(img.pixel(20, 10), qRgb(255, 0, 255)); // the gap is left alone
}

TEST_F(CoolMenuManagerTest, RadioItemsShowTheRedrawnRadioMark)
{
    CCoolMenuManager manager;
    ASSERT_TRUE(manager.LoadToolbar(910));
    const QImage& mark = *LibraryRadioCheckMark();
    EXPECT_EQ(mark.pixel(0, 0) | 0xFF000000u, 0xFFFFFFFFu) << "a white square";
    EXPECT_EQ(mark.pixel(6, 6) | 0xFF000000u, 0xFF000000u) << "with a black dot at its centre";
    EXPECT_EQ(mark.pixel(3, 6) | 0xFF000000u, 0xFFFFFFFFu) << "4 pixels across";

    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 201, QStringLiteral("&One"));
    AppendMenu(menu, MF_STRING, 202, QStringLiteral("&Two"));
    ASSERT_TRUE(SetRadioCheck(menu, 201, MF_BYCOMMAND, true));
    CheckMenuItem(menu, 202, MF_CHECKED);
    CoolMenuItem item;
    item.text = QStringLiteral("&One");
    auto paint = [&](UINT id, UINT state) {
        return PaintItem(
            [&](DRAWITEMSTRUCT* d) {
                d->itemID = id;
                manager.OnDrawItem(d);
            },
            reinterpret_cast<std::uintptr_t>(&item), QSize(150, 20), state, menu);
    };
    // The 13 x 13 mark centred in the 20 x 19 button: at (3, 3).
    const QRgb light = SysRgb(COLOR_3DLIGHT), text = SysRgb(COLOR_MENUTEXT);
    QImage img = paint(201, ODS_CHECKED);
    EXPECT_EQ(img.pixel(3 + 6, 3 + 6), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(3 + 1, 3 + 1), light);
    EXPECT_EQ(img.pixel(3 + 3, 3 + 6), light);
    img = paint(202, ODS_CHECKED);
    EXPECT_EQ(img.pixel(3 + 3, 3 + 6), text) << "the system check mark";
    img = paint(201, 0);
    EXPECT_EQ(img.pixel(3 + 6, 3 + 6), qRgb(255, 0, 255)) << "unchecked, no unchecked picture: nothing";
    DestroyMenu(menu);
}

} // namespace
