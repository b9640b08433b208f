#include "MenuTestUtil.h"

#include "ui/chrome/CMenuXP.h"

#include <QAction>
#include <QMouseEvent>
#include <gtest/gtest.h>


using namespace ulv;
using namespace ulv::test;

namespace {

constexpr int kFrame = 3;
constexpr int kSideBar = 30;

void Mouse(QWidget* popup, QEvent::Type type, const QPoint& local)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, local, popup->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(popup, &e);
}

QRect ItemRectIn(QWidget* popup, HMENU menu, int position)
{
    QRect r;
    if (!GetMenuItemRect(menu, UINT(position), &r))
        return {};
    return r.translated(-popup->mapToGlobal(QPoint(0, 0)));
}

CMenuXPItem* Item(UINT id, const QString& text)
{
    auto* item = new CMenuXPItem;
    item->id = id;
    item->text = text;
    return item;
}

// Side bar | Alpha, Bravo, separator, Charlie | Delta, Echo || Foxtrot,
// Golf, More > (Inner one, Inner two, Inner three): a break before Delta, a
// bar break before Foxtrot.
class MenuColumnsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(menu.CreatePopupMenu());
        auto* bar = Item(0, QStringLiteral("Ulv"));
        bar->size = kSideBar;
        menu.AppendSideBar(bar);
        menu.AppendODMenu(0, Item(1, QStringLiteral("&Alpha")));
        menu.AppendODMenu(0, Item(2, QStringLiteral("&Bravo is wide")));
        menu.AppendSeparator();
        menu.AppendODMenu(0, Item(3, QStringLiteral("&Charlie")));
        menu.Break();
        menu.AppendODMenu(0, Item(4, QStringLiteral("&Delta")));
        menu.AppendODMenu(0, Item(5, QStringLiteral("&Echo")));
        menu.BreakBar();
        menu.AppendODMenu(0, Item(6, QStringLiteral("&Foxtrot")));
        menu.AppendODMenu(0, Item(7, QStringLiteral("&Golf")));
        sub = new CMenuXP;
        sub->CreatePopupMenu();
        sub->AppendODMenu(0, Item(21, QStringLiteral("Inner &one")));
        sub->AppendODMenu(0, Item(22, QStringLiteral("Inner &two")));
        sub->AppendODMenu(0, Item(23, QStringLiteral("Inner &three")));
        ASSERT_TRUE(menu.AppendODPopupMenu(0, sub, Item(0, QStringLiteral("&More"))));
        // Keys no plain item takes come to the owner, which asks the menu.
        owner.handler = [this](WinMessageEvent* m) {
            if (m->message != WM_MENUCHAR)
                return false;
            m->result = menu.OnMenuChar(LoWord(m->wParam), HiWord(m->wParam), MessagePointer<QMenu>(m->lParam));
            return true;
        };
        owner.setGeometry(40, 40, 200, 100);
    }

    QSize Measured(int position)
    {
        MEASUREITEMSTRUCT mis;
        mis.itemData = GetMenuItemData(menu.m_hMenu, UINT(position), MF_BYPOSITION);
        menu.MeasureItem(&mis);
        return { mis.itemWidth + GetSystemMetrics(SM_CXMENUCHECK) - 1, mis.itemHeight };
    }

    UINT Track(std::function<void(QWidget*)> job, UINT flags = TPM_RETURNCMD)
    {
        WhenPopupWidgetShown(std::move(job));
        return TrackPopupMenuEx(menu.m_hMenu, flags, 100, 100, &owner);
    }

    MessageLog owner;
    CMenuXP menu;
    CMenuXP* sub = nullptr; // the menu's own
};

TEST_F(MenuColumnsTest, ColumnsAreAsWideAsTheirWidestItemAndTopAligned)
{
    std::vector<QRect> rects;
    QImage shot;
    bool ownWidget = false;
    const UINT chosen = Track([&](QWidget* popup) {
        ownWidget = qobject_cast<QMenu*>(popup) == nullptr;
        for (int pos = 0; pos < GetMenuItemCount(menu.m_hMenu); ++pos)
            rects.push_back(ItemRectIn(popup, menu.m_hMenu, pos));
        shot = popup->grab().toImage();
        Key(popup, Qt::Key_Escape);
    });
    EXPECT_EQ(chosen, 0u);
    EXPECT_TRUE(ownWidget);
    ASSERT_EQ(rects.size(), 10u);
    ASSERT_FALSE(shot.isNull());

    auto widest = [&](std::initializer_list<int> positions) {
        int w = 0;
        for (int p : positions)
            w = std::max(w, Measured(p).width());
        return w;
    };
    const int first = kFrame + kSideBar;
    const int second = first + widest({ 1, 2, 3, 4 });
    const int gap = second + widest({ 5, 6 });
    const int third = gap + 4;
    const int h = Measured(1).height();
    const int sep = Measured(3).height();
    struct Case {
        int position;
        QRect rect;
    };
    const int w1 = second - first, w2 = gap - second, w3 = widest({ 7, 8, 9 });
    const Case cases[] = {
        { 1, { first, kFrame, w1, h } },
        { 2, { first, kFrame + h, w1, h } },
        { 3, { first, kFrame + 2 * h, w1, sep } },
        { 4, { first, kFrame + 2 * h + sep, w1, h } },
        { 5, { second, kFrame, w2, h } },
        { 6, { second, kFrame + h, w2, h } },
        { 7, { third, kFrame, w3, h } },
        { 8, { third, kFrame + h, w3, h } },
        { 9, { third, kFrame + 2 * h, w3, Measured(9).height() } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rects[std::size_t(c.position)], c.rect) << "item " << c.position;
    // As tall as the tallest column; the side bar spans all of it.
    const int content = 3 * h + sep;
    EXPECT_EQ(shot.size(), QSize(third + w3 + kFrame, content + 2 * kFrame));
    EXPECT_EQ(rects[0], QRect(kFrame, kFrame, kSideBar, content));
    EXPECT_EQ(shot.pixel(kFrame + 28, kFrame + content - 1), qRgb(0, 0, 192)); // start colour at the very bottom
    EXPECT_LE(qBlue(shot.pixel(kFrame + 28, kFrame)), 8);

    // The bar break's etched line, down the whole height; none at the plain break.
    for (int y : { kFrame, kFrame + h + 3, kFrame + content - 1 }) {
        EXPECT_EQ(shot.pixel(gap + 1, y), SysRgb(COLOR_BTNSHADOW)) << y;
        EXPECT_EQ(shot.pixel(gap + 2, y), SysRgb(COLOR_BTNHIGHLIGHT)) << y;
        EXPECT_EQ(shot.pixel(gap, y), SysRgb(COLOR_MENU)) << y;
    }
    for (int x : { second - 1, second })
        EXPECT_EQ(shot.pixel(x, kFrame + h / 2), SysRgb(COLOR_MENU)) << x;
}

// Presses keys written as v ^ < > (arrows), [ ] (Home, End), . (Enter),
// ! (Esc) and letters (typed, as access keys) on the popup on top, as the
// platform sends them.
void Press(const char* keys)
{
    for (const char* k = keys; *k; ++k) {
        QWidget* top = QApplication::activePopupWidget();
        if (!top)
            return;
        switch (*k) {
        case 'v': Key(top, Qt::Key_Down); break;
        case '^': Key(top, Qt::Key_Up); break;
        case '<': Key(top, Qt::Key_Left); break;
        case '>': Key(top, Qt::Key_Right); break;
        case '.': Key(top, Qt::Key_Return); break;
        case '!': Key(top, Qt::Key_Escape); break;
        case '[': Key(top, Qt::Key_Home); break;
        case ']': Key(top, Qt::Key_End); break;
        default: Key(top, Qt::Key_A + (QChar(*k).toUpper().unicode() - 'A'), QString(QChar(*k))); break;
        }
    }
}

TEST_F(MenuColumnsTest, KeysRunThroughTheItemsAndAcrossTheColumns)
{
    struct Case {
        const char* name;
        const char* keys;
        UINT expected;
    };
    // Items in order: Alpha 1, Bravo 2, Charlie 3 | Delta 4, Echo 5 || Foxtrot 6, Golf 7, More >.
    const Case cases[] = {
        { "down takes the first item past the side bar", "v.", 1 },
        { "up from nothing takes the last item", "^^.", 7 },
        { "down wraps from the last to the first", "^^vv.", 1 },
        { "home and end go to either end", "vv>[.", 1 },
        { "end takes the last item", "v]^.", 7 },
        { "right goes to the same row of the next column", "vv>.", 5 },
        { "right from below the shorter column takes its nearest item", "vvv>.", 5 },
        { "right crosses the bar break", "v>>.", 6 },
        { "left comes back", "v><.", 1 },
        { "left from the first column wraps past the side bar", "v<.", 6 },
        { "right from the last column wraps to the first", "^^>.", 2 },
        { "an access key executes its item", "e", 5 },
        { "an access key in upper case too", "G", 7 },
        { "right opens a sub-menu at its first item", "^>v.", 22 },
        { "left closes the sub-menu only", "^><^.", 7 },
        { "escape closes the sub-menu only", "^.!^.", 7 },
        { "an access key two items share selects the next one", "mt.", 22 },
        { "and again the one after it", "mtt.", 23 },
        { "enter on nothing chooses nothing", ".!", 0 },
        { "escape chooses nothing", "v!", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Track([&](QWidget*) { Press(c.keys); }), c.expected);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

TEST_F(MenuColumnsTest, HoverHighlightsAndAClickPostsTheCommand)
{
    QImage lit;
    QRect golf;
    int hilite = -1;
    const UINT result = Track(
        [&](QWidget* popup) {
            golf = ItemRectIn(popup, menu.m_hMenu, 8);
            Mouse(popup, QEvent::MouseMove, golf.center());
            hilite = GetHilitePosition(menu.m_hMenu);
            lit = popup->grab().toImage();
            Mouse(popup, QEvent::MouseButtonPress, golf.center());
            Mouse(popup, QEvent::MouseButtonRelease, golf.center());
        },
        0);
    EXPECT_EQ(result, 1u);
    EXPECT_EQ(hilite, 8);
    ASSERT_FALSE(lit.isNull());
    EXPECT_EQ(lit.pixel(golf.right() - 2, golf.center().y()), SysRgb(COLOR_HIGHLIGHT));
    const MessageLog::Entry* select = owner.Last(WM_MENUSELECT);
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->wParam, MakeWParam(0, 0xFFFF)) << "closing ends the selection";
    bool golfSelected = false;
    for (const MessageLog::Entry& e : owner.entries)
        golfSelected = golfSelected
            || (e.message == WM_MENUSELECT && LoWord(e.wParam) == 7 && (HiWord(e.wParam) & MF_HILITE));
    EXPECT_TRUE(golfSelected);
    ASSERT_TRUE(RunEventsUntil([&] { return owner.Last(WM_COMMAND) != nullptr; }, 5000));
    EXPECT_EQ(owner.Last(WM_COMMAND)->wParam, 7u);
}

TEST_F(MenuColumnsTest, MouseOpensSubMenusAndAPressOutsideEndsTheMenu)
{
    struct Case {
        const char* name;
        bool pressOutside;
        UINT expected;
    };
    for (const Case& c : { Case { "a click in the sub-menu", false, 21u }, Case { "a press outside", true, 0u } }) {
        SCOPED_TRACE(c.name);
        const UINT chosen = Track([&](QWidget* popup) {
            const QRect more = ItemRectIn(popup, menu.m_hMenu, 9);
            Mouse(popup, QEvent::MouseButtonPress, more.center());
            QWidget* top = QApplication::activePopupWidget();
            ASSERT_NE(top, popup) << "the sub-menu opens on the press";
            if (c.pressOutside) {
                Mouse(top, QEvent::MouseButtonPress, top->mapFromGlobal(popup->mapToGlobal(QPoint(-50, -50))));
                return;
            }
            const QRect one = ItemRectIn(top, sub->m_hMenu, 0);
            ASSERT_FALSE(one.isEmpty());
            Mouse(top, QEvent::MouseButtonPress, one.center());
            Mouse(top, QEvent::MouseButtonRelease, one.center());
        });
        EXPECT_EQ(chosen, c.expected);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

TEST_F(MenuColumnsTest, AMenuWithoutBreaksIsStillAQMenu)
{
    QWidget* shown = nullptr;
    QRect first;
    QPoint inside;
    WhenPopupWidgetShown([&](QWidget* popup) {
        shown = popup;
        GetMenuItemRect(sub->m_hMenu, 0, &first);
        inside = popup->mapToGlobal(QPoint(kFrame, kFrame));
        Key(popup, Qt::Key_Down);
        Key(popup, Qt::Key_Return);
    });
    EXPECT_EQ(TrackPopupMenuEx(sub->m_hMenu, TPM_RETURNCMD, 100, 100, &owner), 21u);
    EXPECT_EQ(shown, sub->m_hMenu);
    EXPECT_EQ(first.topLeft(), inside);
    QRect closed;
    EXPECT_FALSE(GetMenuItemRect(sub->m_hMenu, 0, &closed)) << "no rectangle once the menu is closed";
}

TEST(MenuColumnsPlainTest, PlainItemsBreakIntoColumnsAndADestroyedMenuEndsTheLoop)
{
    MessageLog owner;
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 1, QStringLiteral("&One"));
    AppendMenu(menu, MF_STRING, 2, QStringLiteral("&Two"));
    AppendMenu(menu, MF_STRING | MF_MENUBARBREAK, 3, QStringLiteral("T&hree"));
    QRect one, three, four;
    bool plainMnemonic = false;
    WhenPopupWidgetShown([&](QWidget* popup) {
        one = ItemRectIn(popup, menu, 0);
        three = ItemRectIn(popup, menu, 2);
        // An item added while the menu is shown gets its own column.
        AppendMenu(menu, MF_STRING | MF_MENUBREAK, 4, QStringLiteral("&Four"));
        RunEventsUntil([&] { return !ItemRectIn(popup, menu, 3).isEmpty(); }, 5000);
        four = ItemRectIn(popup, menu, 3);
        Key(popup, Qt::Key_H, QStringLiteral("h")); // the access key of a plain item chooses it
        plainMnemonic = QApplication::activePopupWidget() == nullptr;
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 100, 100, &owner), 3u);
    EXPECT_TRUE(plainMnemonic);
    EXPECT_EQ(three.top(), one.top());
    EXPECT_GT(three.left(), one.right() + 2);
    EXPECT_EQ(four.top(), one.top());
    EXPECT_EQ(four.left(), three.right() + 1);

    // The owner destroys the menu while it is shown.
    WhenPopupWidgetShown([&](QWidget*) { DestroyMenu(menu); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 100, 100, &owner), 0u);
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

} // namespace
