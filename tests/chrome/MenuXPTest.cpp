#include "MenuTestUtil.h"

#include "ui/chrome/CMenuXP.h"

#include <QAction>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

CMenuXPItem* Item(UINT id, const QString& text, QImage icon = QImage())
{
    auto* item = new CMenuXPItem;
    item->id = id;
    item->text = text;
    item->icon = std::move(icon);
    return item;
}

QImage RedIcon()
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(qRgb(255, 0, 0));
    return icon;
}

TEST(MenuXPTest, GradientRunsFromTheStartColourAtTheBottom)
{
    const QImage g = CMenuXP::CreateGradientBitmap(0xC00000, 0, 4, 100, 0, 256);
    EXPECT_EQ(g.pixel(0, 99), qRgb(0, 0, 192));
    EXPECT_LE(qBlue(g.pixel(3, 0)), 2); // black towards the top
    EXPECT_LT(qBlue(g.pixel(0, 30)), qBlue(g.pixel(0, 70)));
    const QImage h = CMenuXP::CreateGradientBitmap(0xC00000, 0, 100, 4, 2, 256);
    EXPECT_EQ(h.pixel(0, 0), qRgb(0, 0, 192));
    EXPECT_LE(qBlue(h.pixel(99, 0)), 2);
}

TEST(MenuXPTest, GradientIndexesPastThePaletteAndOddKindsStillFillEveryPixel)
{
    // A bar taller than twice the colour count rounds its top rows to one
    // past the last entry: they take the end colour.
    const QImage tall = CMenuXP::CreateGradientBitmap(Rgb(10, 20, 30), Rgb(200, 100, 50), 2, 700, 0, 256);
    EXPECT_EQ(tall.pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(tall.pixel(1, 699), qRgb(10, 20, 30));
    for (int kind : { -1, 4, 99 }) {
        const QImage odd = CMenuXP::CreateGradientBitmap(Rgb(10, 20, 30), Rgb(200, 100, 50), 20, 20, kind, 256);
        const QImage same = CMenuXP::CreateGradientBitmap(Rgb(10, 20, 30), Rgb(200, 100, 50), 20, 20, kind < 0 ? 0 : 3, 256);
        EXPECT_EQ(odd, same) << kind;
    }
    // The diagonals stay inside the table too.
    const QImage d = CMenuXP::CreateGradientBitmap(Rgb(0, 0, 0), Rgb(255, 255, 255), 600, 600, 1, 256);
    EXPECT_EQ(d.pixel(599, 0), qRgb(255, 255, 255));
    const QImage one = CMenuXP::CreateGradientBitmap(Rgb(1, 2, 3), Rgb(9, 9, 9), 3, 3, 0, 1);
    EXPECT_EQ(one.pixel(1, 1), qRgb(1, 2, 3));
}

TEST(MenuXPTest, MeasuresSideBarSeparatorAndItems)
{
    CMenuXP menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    auto* bar = Item(0, QStringLiteral("Ulvenscope"));
    bar->size = 30;
    menu.AppendSideBar(bar);
    menu.AppendODMenu(0, Item(1, QStringLiteral("&Open")));
    auto measure = [&](CMenuXPItem* it) {
        MEASUREITEMSTRUCT mis;
        mis.itemData = reinterpret_cast<std::uintptr_t>(it);
        menu.MeasureItem(&mis);
        return QSize(mis.itemWidth, mis.itemHeight);
    };
    EXPECT_EQ(measure(bar), QSize(30 + 1 - 15, 0));
    CMenuXPItem sep;
    sep.separator = true;
    EXPECT_EQ(measure(&sep), QSize(1 - 15, 7));
    CMenuXPItem open;
    open.text = QStringLiteral("&Open");
    const QFontMetrics fm(SystemMenuFont());
    const QSize text = fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic, open.text);
    EXPECT_EQ(measure(&open), QSize(2 * 16 + text.width() + 12 + 1 - 15, std::max(20, text.height())));
    open.buttonOnly = true;
    EXPECT_EQ(measure(&open).width(), std::max(20, text.height()) + 1 - 15);
    int foreign = 0;
    MEASUREITEMSTRUCT mis;
    mis.itemData = reinterpret_cast<std::uintptr_t>(&foreign);
    menu.MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 0);
}

TEST(MenuXPTest, SideBarIsTheFirstColumnOfThePopup)
{
    CMenuXP menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    auto* bar = Item(0, QStringLiteral("Ulv"));
    bar->size = 30;
    menu.AppendSideBar(bar);
    menu.AppendODMenu(0, Item(1, QStringLiteral("&Open")));
    menu.AppendSeparator();
    menu.AppendODMenu(0, Item(2, QStringLiteral("&Close")));
    EXPECT_TRUE(GetMenuItemType(menu.m_hMenu, 1, MF_BYPOSITION) & MF_MENUBREAK);
    EXPECT_FALSE(GetMenuItemType(menu.m_hMenu, 2, MF_BYPOSITION) & MF_MENUBREAK);
    QMenu* popup = menu.m_hMenu;
    popup->adjustSize();
    const QImage shot = popup->grab().toImage();
    // Frame 3, then the bar 30 wide, from the start colour at the bottom to black at the top.
    EXPECT_EQ(shot.pixel(3 + 28, shot.height() - 4), qRgb(0, 0, 192));
    EXPECT_LE(qBlue(shot.pixel(3 + 28, 3)), 8);
    EXPECT_EQ(popup->actionGeometry(popup->actions().at(1)).left(), 3 + 30);
    EXPECT_EQ(shot.pixel(3 + 30 + 40, 3 + 5), SysRgb(COLOR_MENU));
    // The bar's white text reads upward near its left edge.
    bool white = false;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 3; x < 3 + 20; ++x)
            white = white || shot.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_TRUE(white);
}

TEST(MenuXPTest, StylesOfASelectedItem)
{
    CMenuXP menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    CMenuXPItem* item = Item(1, QStringLiteral("&Open"), RedIcon());
    menu.AppendODMenu(0, item);
    const QSize size(150, 20);
    auto paint = [&](UINT state) {
        return PaintItem([&](DRAWITEMSTRUCT* d) { menu.DrawItem(d); }, reinterpret_cast<std::uintptr_t>(item), size,
            state);
    };
    // Style 0: highlight background, a raised edge round the icon square.
    QImage img = paint(ODS_SELECTED);
    EXPECT_EQ(img.pixel(100, 10), SysRgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(img.pixel(19, 19), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0)); // the icon, stretched into the square less 2
    img = paint(0);
    EXPECT_EQ(img.pixel(100, 10), SysRgb(COLOR_MENU));
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_MENU));
    // Style 2: highlight background with a black frame.
    menu.m_nStyle = 2;
    img = paint(ODS_SELECTED);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(149, 19), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(100, 10), SysRgb(COLOR_HIGHLIGHT));
    menu.m_crIconArea = Rgb(200, 0, 200);
    img = paint(0);
    EXPECT_EQ(img.pixel(1, 1), qRgb(200, 0, 200)); // the icon area
    EXPECT_EQ(img.pixel(100, 10), SysRgb(COLOR_MENU));
}

TEST(MenuXPTest, AcceleratorTextAndMenuKeys)
{
    CMenuXP menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    const ACCEL none { 0, 27, 1 }; // a plain Esc has no key text
    QString keys;
    CAccelText(&none).GetKeyText(keys);
    ASSERT_TRUE(keys.isEmpty());
    CMenuXPItem* plain = Item(1, QStringLiteral("&Save"));
    menu.AppendODMenu(0, plain, &none);
    EXPECT_EQ(plain->text, QStringLiteral("&Save"));
    const ACCEL ctrlS { FVIRTKEY | FCONTROL, 'S', 1 };
    CMenuXPItem* withKey = Item(2, QStringLiteral("&Send"));
    menu.AppendODMenu(0, withKey, &ctrlS);
    EXPECT_EQ(withKey->text, QStringLiteral("&Send\tCtrl+S"));
    menu.AppendODMenu(0, Item(3, QStringLiteral("&Quit")));
    EXPECT_EQ(menu.OnMenuChar('q', MF_POPUP, menu.m_hMenu), MakeLResult(2, MNC_EXECUTE));
    EXPECT_EQ(menu.OnMenuChar('s', MF_POPUP, menu.m_hMenu), MakeLResult(0, MNC_SELECT));
    EXPECT_EQ(menu.OnMenuChar('z', MF_POPUP, menu.m_hMenu), 0);

    auto* sub = new CMenuXP;
    sub->CreatePopupMenu();
    sub->AppendODMenu(0, Item(9, QStringLiteral("Deep")));
    ASSERT_TRUE(menu.AppendODPopupMenu(0, sub, Item(0, QStringLiteral("More"))));
    EXPECT_EQ(menu.FindSubMenuFromID(9), sub);
    EXPECT_EQ(menu.FindSubMenuFromID(3), &menu);
    EXPECT_EQ(menu.FindSubMenuFromID(77), nullptr);
}

} // namespace
