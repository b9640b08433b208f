#include "MenuTestUtil.h"

#include "ui/chrome/CIconMenu.h"
#include "ui/chrome/MenuResources.h"
#include "ui/controls/CMyFlatButton.h"
#include "ui/controls/COwnerDrawMenu.h"

#include <QAction>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

constexpr QRgb kGreen = 0xFF00A000;

class IconMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterToolBarResource(920, { 16, 16, { 101, 0, 102 }, QString() });
        QImage strip(32, 16, QImage::Format_RGB32);
        strip.fill(kGreen);
        for (int y = 0; y < 16; ++y)
            strip.setPixel(0, y, qRgb(192, 192, 192)); // transparent
        RegisterBitmapResource(920, strip);
        root = CreatePopupMenu();
        file = CreatePopupMenu();
        recent = CreatePopupMenu();
        AppendMenu(recent, MF_STRING, 201, QStringLiteral("One"));
        AppendMenu(file, MF_STRING, 101, QStringLiteral("&Open\tCtrl+O"));
        AppendMenu(file, MF_SEPARATOR, 0, QString());
        AppendMenu(file, MF_STRING, 999, QStringLiteral("E&xit"));
        AppendMenu(file, MF_POPUP, reinterpret_cast<std::uintptr_t>(recent), QStringLiteral("&Recent"));
        AppendMenu(root, MF_POPUP, reinterpret_cast<std::uintptr_t>(file), QStringLiteral("&File"));
        AppendMenu(root, MF_STRING, 102, QStringLiteral("&About"));
    }
    void TearDown() override
    {
        DestroyMenu(root);
        ClearRegisteredResources();
    }
    static const CIconMenu::Record* Rec(HMENU m, int pos)
    {
        return reinterpret_cast<const CIconMenu::Record*>(GetMenuItemData(m, UINT(pos), MF_BYPOSITION));
    }
    HMENU root = nullptr, file = nullptr, recent = nullptr;
};

TEST_F(IconMenuTest, ConvertsCommandsSeparatorsAndCaptions)
{
    CIconMenu menu;
    EXPECT_FALSE(menu.LoadToolbar(921));
    ASSERT_TRUE(menu.LoadToolbar(920));
    EXPECT_EQ(menu.ImageOf(101), 0);
    EXPECT_EQ(menu.ImageOf(102), 1);
    menu.ConvertToOwnerDraw(root);
    for (HMENU m : { root, file })
        for (int i = 0; i < GetMenuItemCount(m); ++i)
            EXPECT_TRUE(GetMenuItemType(m, UINT(i), MF_BYPOSITION) & MF_OWNERDRAW);
    EXPECT_EQ(Rec(root, 0)->image, CIconMenu::kFirstLevelCaption);
    EXPECT_EQ(Rec(file, 3)->image, CIconMenu::kSubCaption);
    EXPECT_EQ(Rec(file, 1)->image, CIconMenu::kSeparator);
    EXPECT_EQ(Rec(file, 1)->text, QStringLiteral("--"));
    EXPECT_EQ(Rec(file, 0)->image, 0);
    EXPECT_EQ(Rec(file, 2)->image, -1);
    EXPECT_EQ(GetSubMenu(file, 3), recent); // the sub-menu stays on its item

    MEASUREITEMSTRUCT mis;
    mis.itemData = GetMenuItemData(file, 1, MF_BYPOSITION);
    menu.MeasureItem(&mis);
    EXPECT_EQ(QSize(mis.itemWidth, mis.itemHeight), QSize(10, 6));

    const QImage sep = PaintItem([&](DRAWITEMSTRUCT* d) { menu.DrawItem(d); }, mis.itemData, QSize(100, 6));
    EXPECT_EQ(sep.pixel(50, 2), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(sep.pixel(50, 3), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(sep.pixel(1, 2), qRgb(255, 0, 255));

    // Not on the toolbar: the selection fills the whole row.
    const QImage exit = PaintItem([&](DRAWITEMSTRUCT* d) { menu.DrawItem(d); },
        GetMenuItemData(file, 2, MF_BYPOSITION), QSize(150, 21), ODS_SELECTED);
    EXPECT_EQ(exit.pixel(1, 10), SysRgb(COLOR_HIGHLIGHT));
    // On it: the picture square stays out of the fill and is framed raised.
    const QImage open = PaintItem([&](DRAWITEMSTRUCT* d) { menu.DrawItem(d); },
        GetMenuItemData(file, 0, MF_BYPOSITION), QSize(150, 21), ODS_SELECTED);
    EXPECT_EQ(open.pixel(0, 0), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(open.pixel(20, 20), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(open.pixel(2 + 5, 2 + 5), kGreen);
    EXPECT_EQ(open.pixel(100, 10), SysRgb(COLOR_HIGHLIGHT));
    // The accelerator ends 15 pixels before the right end, the label starts at the text area.
    auto inked = [&](int x0, int x1) {
        for (int y = 0; y < 21; ++y)
            for (int x = x0; x < x1; ++x)
                if (open.pixel(x, y) != SysRgb(COLOR_HIGHLIGHT))
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(150 - 15 - 12, 150 - 15));
    EXPECT_FALSE(inked(150 - 14, 150));
    EXPECT_TRUE(inked(24, 34));
}

TEST_F(IconMenuTest, PopupShowsThePictures)
{
    CIconMenu menu;
    ASSERT_TRUE(menu.LoadToolbar(920));
    menu.ConvertToOwnerDraw(root);
    file->adjustSize();
    const QImage shot = file->grab().toImage();
    EXPECT_EQ(shot.pixel(3 + 2 + 6, 3 + 2 + 6), kGreen);
}

TEST_F(IconMenuTest, OwnerDrawMenuIsOrangeAndBlue)
{
    COwnerDrawMenu menu;
    menu.MakeOwnerDraw(file);
    EXPECT_EQ(menu.ItemCount(), 4u); // the sub-menu's item is its own object's
    EXPECT_EQ(menu.SubMenuCount(), 1u);
    EXPECT_EQ(GetSubMenu(file, 3), recent);
    EXPECT_TRUE(GetMenuItemType(recent, 0, MF_BYPOSITION) & MF_OWNERDRAW);
    MEASUREITEMSTRUCT mis;
    mis.itemData = GetMenuItemData(file, 2, MF_BYPOSITION);
    menu.MeasureItem(&mis);
    EXPECT_EQ(QSize(mis.itemWidth, mis.itemHeight), QSize(7 * 5, 23));
    const QImage normal
        = PaintItem([&](DRAWITEMSTRUCT* d) { menu.DrawItem(d); }, mis.itemData, QSize(60, 23), 0);
    EXPECT_EQ(normal.pixel(50, 20), qRgb(255, 150, 0));
    const QImage selected
        = PaintItem([&](DRAWITEMSTRUCT* d) { menu.DrawItem(d); }, mis.itemData, QSize(60, 23), ODS_SELECTED);
    EXPECT_EQ(selected.pixel(50, 20), qRgb(0, 150, 255));
    file->adjustSize();
    EXPECT_EQ(file->grab().toImage().pixel(file->width() - 6, 3 + 20), qRgb(255, 150, 0));
}

TEST(FlatButtonTest, FrameFollowsThePress)
{
    QWidget parent;
    parent.resize(200, 100);
    CMyFlatButton button(QStringLiteral("Go"), &parent);
    button.setGeometry(10, 10, 80, 26);
    parent.show();
    QImage img = button.grab().toImage();
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(img.pixel(79, 25), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(img.pixel(5, 5), qRgb(0xCD, 0xCD, 0xCD));
    bool text = false;
    for (int y = 5; y < 21; ++y)
        for (int x = 30; x < 50; ++x)
            text = text || qGray(img.pixel(x, y)) < 100; // the caption in button-text black
    EXPECT_TRUE(text);
    button.setDown(true);
    img = button.grab().toImage();
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(img.pixel(79, 25), SysRgb(COLOR_BTNHIGHLIGHT));
    button.setDown(false);
    button.SetAlwaysRaised(false);
    img = button.grab().toImage();
    EXPECT_EQ(img.pixel(0, 0), qRgb(0xCD, 0xCD, 0xCD)); // no frame without focus
    const bool toggle = button.PaintToggle();
    button.grab();
    EXPECT_NE(button.PaintToggle(), toggle);
}

} // namespace
