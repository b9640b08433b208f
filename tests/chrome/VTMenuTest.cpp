#include "MenuTestUtil.h"

#include "ui/chrome/MenuResources.h"
#include "ui/chrome/VTMenu.h"
#include "ui/controls/CImageButton.h"

#include <QAction>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace ulv;
using namespace ulv::test;

namespace {

constexpr int kToolbar = 900;
constexpr int kMenu = 901;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// Two 16 x 15 pictures, red and blue; column 0 of each is the transparent
// face colour.
QImage Strip()
{
    QImage strip(32, 15, QImage::Format_RGB32);
    strip.fill(kRed);
    for (int y = 0; y < 15; ++y) {
        for (int x = 16; x < 32; ++x)
            strip.setPixel(x, y, kBlue);
        strip.setPixel(0, y, SysRgb(COLOR_BTNFACE));
        strip.setPixel(16, y, SysRgb(COLOR_BTNFACE));
    }
    return strip;
}

class VTMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VTMenu::ResetSharedImages();
        VTMenu::SetVersionClass(1);
        VTMenu::SetThemeFileName(QString());
        VTMenu::s_drawStyleThemed = 1;
        VTMenu::s_drawStyleClassic = 0;
        RegisterToolBarResource(kToolbar, { 16, 15, { 101, 0, 102 }, QString() });
        RegisterBitmapResource(kToolbar, Strip());
        RegisterMenuTemplate(kMenu,
            BuildMenuTemplate({ { QStringLiteral("&File"),
                                    { { 101, QStringLiteral("&Open\tCtrl+O") }, { 0, QString() },
                                        { 102, QStringLiteral("&Save") }, { 103, QStringLiteral("E&xit") } } },
                { QStringLiteral("&Edit"), { { 104, QStringLiteral("&Copy") }, { 101, QStringLiteral("Open &again") } } } }));
    }
    void TearDown() override
    {
        ClearRegisteredResources();
        VTMenu::SetVersionClass(1);
        VTMenu::s_drawStyleThemed = 1;
        VTMenu::s_drawStyleClassic = 0;
        VTMenu::ResetSharedImages();
    }
    static void Flat()
    {
        VTMenu::s_drawStyleThemed = 1;
        VTMenu::s_drawStyleClassic = 1;
    }
    static VTMenu* Sub(VTMenu& menu, int pos)
    {
        return dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(menu.GetSubMenu(pos)));
    }
    static QImage Paint(VTMenu& m, VTMenuItem* r, UINT state, QSize size = QSize(200, 20))
    {
        return PaintItem([&](DRAWITEMSTRUCT* d) { m.DrawItem(d); }, reinterpret_cast<std::uintptr_t>(r), size, state);
    }
};

TEST_F(VTMenuTest, LoadedMenuHasPlainTopLevelAndOwnerDrawnItemsBelow)
{
    VTMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    EXPECT_TRUE(menu.IsFromTemplate());
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_EQ(menu.GetMenuString(0, MF_BYPOSITION), QStringLiteral("&File"));
    EXPECT_FALSE(GetMenuItemType(menu.m_hMenu, 0, MF_BYPOSITION) & MF_OWNERDRAW);
    VTMenu* file = Sub(menu, 0);
    VTMenu* edit = Sub(menu, 1);
    ASSERT_TRUE(file && edit);
    ASSERT_EQ(file->GetMenuItemCount(), 4);
    EXPECT_EQ(edit->GetMenuItemCount(), 2); // the last popup, ending the template, is complete
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(GetMenuItemType(file->m_hMenu, UINT(i), MF_BYPOSITION) & MF_OWNERDRAW) << i;
    EXPECT_TRUE(GetMenuItemType(file->m_hMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(VTMenu::IsOwnSubMenu(file->m_hMenu));
    // Labels are padded so the accelerators line up.
    const QFontMetrics fm(SystemMenuFont());
    const QString open = file->Items()[0]->text;
    EXPECT_TRUE(open.endsWith(QStringLiteral("\tCtrl+O")));
    EXPECT_GE(fm.horizontalAdvance(open.section(QLatin1Char('\t'), 0, 0)), fm.horizontalAdvance(QStringLiteral("E&xit ")));
}

TEST_F(VTMenuTest, NestedTemplateClosesEveryLevel)
{
    // File > (Recent > (A, B), Quit) and a last popup Help > About.
    QByteArray t;
    auto word = [&](unsigned w) { t.append(char(w & 0xFF)).append(char(w >> 8)); };
    auto text = [&](const QString& s) {
        for (QChar c : s)
            word(c.unicode());
        word(0);
    };
    word(0), word(0);
    word(MF_POPUP), text(QStringLiteral("File"));
    word(MF_POPUP), text(QStringLiteral("Recent"));
    word(0), word(11), text(QStringLiteral("A"));
    word(MF_END), word(12), text(QStringLiteral("B"));
    word(MF_END), word(13), text(QStringLiteral("Quit"));
    word(MF_POPUP | MF_END), text(QStringLiteral("Help"));
    word(MF_END), word(14), text(QStringLiteral("About"));
    VTMenu menu;
    ASSERT_TRUE(menu.LoadMenuTemplate(t));
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    VTMenu* file = Sub(menu, 0);
    ASSERT_EQ(file->GetMenuItemCount(), 2);
    EXPECT_EQ(Sub(*file, 0)->GetMenuItemCount(), 2);
    EXPECT_EQ(file->GetMenuItemID(1), 13u);
    EXPECT_EQ(Sub(menu, 1)->GetMenuItemID(0), 14u);
    // A truncated template loads what it holds and fails nothing else.
    VTMenu cut;
    EXPECT_TRUE(cut.LoadMenuTemplate(t.left(t.size() - 5)));
}

TEST_F(VTMenuTest, MatchMenuCharFindsTheAccessKeyInLowerCase)
{
    VTMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    VTMenu* file = Sub(menu, 0);
    EXPECT_EQ(VTMenu::MatchMenuChar('S', MF_POPUP, file), MakeLResult(2, MNC_EXECUTE));
    EXPECT_EQ(VTMenu::MatchMenuChar('x', MF_POPUP, file), MakeLResult(3, MNC_EXECUTE));
    EXPECT_EQ(VTMenu::MatchMenuChar('q', MF_POPUP, file), 0);
    EXPECT_EQ(VTMenu::MatchMenuChar('S', 0, file), 0); // not a popup
    EXPECT_EQ(VTMenu::MatchMenuChar('S', MF_POPUP, static_cast<VTMenu*>(nullptr)), 0);
    // An item added with a plain call is matched after the records are re-read.
    file->AppendMenu(MF_STRING, 105, QStringLiteral("&Print"));
    EXPECT_EQ(VTMenu::MatchMenuChar('p', MF_POPUP, file), MakeLResult(4, MNC_EXECUTE));
    EXPECT_TRUE(GetMenuItemType(file->m_hMenu, 4, MF_BYPOSITION) & MF_OWNERDRAW);
}

TEST_F(VTMenuTest, ModifyItemChangesEveryItemWithTheCommand)
{
    VTMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    ASSERT_TRUE(menu.ModifyItem(QStringLiteral("Open it"), 101, kToolbar));
    EXPECT_EQ(Sub(menu, 0)->Items()[0]->text, QStringLiteral("Open it"));
    EXPECT_EQ(Sub(menu, 1)->Items()[1]->text, QStringLiteral("Open it"));
    const int slot = VTMenu::FindSharedImage(101);
    EXPECT_GE(slot, 0);
    EXPECT_EQ(Sub(menu, 1)->Items()[1]->sharedIndex, slot);
    EXPECT_FALSE(menu.ModifyItem(QStringLiteral("x"), 999, -1));
}

TEST_F(VTMenuTest, ToolbarPicturesFollowTheImageIndexPastLeadingSeparators)
{
    RegisterToolBarResource(905, { 16, 15, { 0, 101, 102 }, QString() });
    RegisterBitmapResource(905, Strip());
    VTMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    ASSERT_TRUE(menu.LoadToolbarImages(905));
    const int slot = Sub(menu, 0)->Items()[0]->sharedIndex; // Open, 101: the first picture
    ASSERT_GE(slot, 0);
    EXPECT_EQ(VTMenu::SharedImages().Image(slot).pixel(5, 5), kRed);
    const int save = Sub(menu, 0)->Items()[2]->sharedIndex;
    EXPECT_EQ(VTMenu::SharedImages().Image(save).pixel(5, 5), kBlue);
    EXPECT_FALSE(menu.LoadToolbarImages(906));
}

TEST_F(VTMenuTest, RemovingByTextAndByPosition)
{
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    for (UINT id = 1; id <= 5; ++id)
        menu.AppendItem(QStringLiteral("Item %1").arg(id), MF_OWNERDRAW, id);
    EXPECT_EQ(menu.RemoveItemByText(QStringLiteral("Item 4"), 3), 3);
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_EQ(menu.GetMenuItemID(0), 1u);
    EXPECT_EQ(menu.GetMenuItemID(1), 5u);
    EXPECT_EQ(menu.Items().size(), 2u);
    EXPECT_EQ(menu.RemoveItemByText(QStringLiteral("none"), 0), -1);

    // A popup removed by position takes its menu object and nothing else.
    VTMenu* popup = menu.AppendPopup(QStringLiteral("More"));
    popup->AppendItem(QStringLiteral("Inner"), MF_OWNERDRAW, 7);
    menu.AppendItem(QStringLiteral("After"), MF_OWNERDRAW, 8);
    const HMENU handle = popup->m_hMenu;
    ASSERT_TRUE(menu.RemoveItem(2, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(handle));
    EXPECT_FALSE(VTMenu::IsOwnSubMenu(handle));
    ASSERT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_EQ(menu.GetMenuItemID(2), 8u);
    EXPECT_EQ(menu.Items().size(), 3u);
}

TEST_F(VTMenuTest, OperationsOnADestroyedHandleFailQuietly)
{
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    VTMenu* popup = menu.AppendPopup(QStringLiteral("Sub"));
    popup->AppendItem(QStringLiteral("A"), MF_OWNERDRAW, 1);
    // Someone destroys the whole menu behind the objects' backs.
    ulv::DestroyMenu(menu.m_hMenu);
    EXPECT_EQ(menu.m_hMenu, nullptr);
    EXPECT_FALSE(menu.AppendItem(QStringLiteral("B"), MF_OWNERDRAW, 2));
    EXPECT_FALSE(menu.RemoveItem(0, MF_BYPOSITION));
    EXPECT_EQ(VTMenu::MatchMenuChar('a', MF_POPUP, &menu), 0);
    int pos = 0;
    EXPECT_EQ(menu.FindCommandOwner(1, pos), nullptr);
    EXPECT_EQ(pos, -1);
    EXPECT_FALSE(menu.DestroyMenu());
}

TEST_F(VTMenuTest, MeasuresFromTheLooksMetrics)
{
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(QStringLiteral("&Open\tCtrl+O"), MF_OWNERDRAW, 1);
    menu.AppendItem(QString(), MF_OWNERDRAW, 0);
    const QFontMetrics fm(SystemMenuFont());
    const int text = fm.horizontalAdvance(QStringLiteral("&Open\tCtrl+O"));
    auto measure = [&](int index) {
        MEASUREITEMSTRUCT mis;
        mis.itemData = reinterpret_cast<std::uintptr_t>(menu.Items()[std::size_t(index)]);
        menu.MeasureItem(&mis);
        return QSize(mis.itemWidth, mis.itemHeight);
    };
    // Classic: two picture widths and one; at least the system menu height.
    EXPECT_EQ(measure(0), QSize(text + 2 * 16 + 1, 20));
    EXPECT_EQ(measure(1), QSize(0, 10)); // half the menu height beats (15 + 4) / 2
    Flat();
    EXPECT_EQ(measure(0), QSize(text + 16 + 7 + 8, 22));
    EXPECT_EQ(measure(1), QSize(0, 11));
    // The menu's popup is as wide as its widest item plus the check-mark room.
    QMenu* popup = menu.m_hMenu;
    popup->adjustSize();
    EXPECT_EQ(popup->sizeHint().width(), text + 31 + GetSystemMetrics(SM_CXMENUCHECK) - 1 + 6);
    EXPECT_EQ(popup->sizeHint().height(), 22 + 11 + 6);
}

TEST_F(VTMenuTest, LightenAndDarken)
{
    const COLORREF c = Rgb(100, 150, 200);
    EXPECT_EQ(VTMenu::Lighten(c, 0), c);
    EXPECT_EQ(VTMenu::Lighten(c, 1.5), c);
    EXPECT_EQ(VTMenu::Lighten(c, 1), Rgb(255, 255, 255));
    EXPECT_EQ(VTMenu::Lighten(c, 0.5), Rgb(177, 202, 227));
    EXPECT_EQ(VTMenu::Darken(c, 0.5), Rgb(50, 75, 100));
}

TEST_F(VTMenuTest, ClassicLookColours)
{
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(QStringLiteral("Open"), MF_OWNERDRAW, 101, kToolbar);
    menu.AppendItem(QStringLiteral("Plain"), MF_OWNERDRAW, 5);
    menu.AppendItem(QString(), MF_OWNERDRAW, 0);
    VTMenuItem* open = menu.Items()[0];
    VTMenuItem* plain = menu.Items()[1];
    const QRgb b = SysRgb(COLOR_MENU), hl = SysRgb(COLOR_HIGHLIGHT);

    QImage img = Paint(menu, open, 0);
    EXPECT_EQ(img.pixel(150, 2), b);
    EXPECT_EQ(img.pixel(2 + 8, 2 + 7), kRed); // the picture at (left + 2, top + e + 2), e = 0
    EXPECT_EQ(img.pixel(2, 5), b); // its transparent column

    img = Paint(menu, open, ODS_SELECTED);
    EXPECT_EQ(img.pixel(16 + 5, 10), hl); // highlight starts after the picture box
    EXPECT_EQ(img.pixel(16 + 4, 10), b);
    EXPECT_EQ(img.pixel(150, 10), hl);

    img = Paint(menu, plain, ODS_SELECTED);
    EXPECT_EQ(img.pixel(0, 10), hl); // no picture: the whole row

    img = Paint(menu, plain, ODS_CHECKED);
    // Check box in (1, 2) .. (17, 17), lightened background, glyph in menu text.
    EXPECT_EQ(img.pixel(2 + 1, 2 + 1), Ref(VTMenu::Lighten(GetSysColor(COLOR_MENU), 0.6)));
    EXPECT_EQ(img.pixel(1 + 4, 2 + 4 + 2), SysRgb(COLOR_MENUTEXT));

    img = Paint(menu, plain, ODS_GRAYED);
    EXPECT_TRUE(img.copy(25, 0, 100, 20).convertToFormat(QImage::Format_RGB32) != QImage());
    bool grey = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 25; x < 120; ++x)
            grey = grey || img.pixel(x, y) == SysRgb(COLOR_GRAYTEXT);
    EXPECT_TRUE(grey);

    img = Paint(menu, menu.Items()[2], 0, QSize(200, 10));
    EXPECT_EQ(img.pixel(50, 5), SysRgb(COLOR_BTNSHADOW)); // etched line at the top of the lower half
    EXPECT_EQ(img.pixel(50, 6), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(img.pixel(50, 2), b);
}

TEST_F(VTMenuTest, FlatLookColoursAndFloatingPicture)
{
    Flat();
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(QStringLiteral("Open"), MF_OWNERDRAW, 101, kToolbar);
    menu.AppendItem(QStringLiteral("Plain"), MF_OWNERDRAW, 5);
    VTMenuItem* open = menu.Items()[0];
    const int slot = open->sharedIndex;
    ASSERT_TRUE(VTMenu::HasImageVariants(slot));
    const QRgb face = Ref(VTMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.25));
    const QRgb window = SysRgb(COLOR_WINDOW);
    const QRgb selection = Ref(VTMenu::Lighten(GetSysColor(COLOR_HIGHLIGHT), 0.85));
    const QSize size(200, 22);
    // Column w = 7 + 16; the picture at x = (23 - 16 + 1) / 2 = 4, y = 4.
    QImage img = Paint(menu, open, 0, size);
    EXPECT_EQ(img.pixel(1, 1), face);
    EXPECT_EQ(img.pixel(100, 10), window);
    EXPECT_EQ(img.pixel(4 + 8, 4 + 7), Ref(VTMenu::Lighten(Rgb(255, 0, 0), 0.3))); // faded at rest

    img = Paint(menu, open, ODS_SELECTED, size);
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(img.pixel(100, 10), selection);
    EXPECT_EQ(img.pixel(3 + 1, 3 + 1), kRed); // lifted by one pixel
    EXPECT_EQ(img.pixel(5 + 15, 5 + 7), Ref(VTMenu::Lighten(GetSysColor(COLOR_BTNSHADOW), 0.49))); // its shadow

    // A grayed item is never drawn selected in this look.
    img = Paint(menu, menu.Items()[1], ODS_SELECTED | ODS_GRAYED, size);
    EXPECT_EQ(img.pixel(100, 10), window);
    EXPECT_EQ(img.pixel(0, 0), face);

    img = Paint(menu, menu.Items()[1], ODS_CHECKED, size);
    // The 16 x 16 check box at ((23 - 15) / 2, (22 - 15) / 2) = (4, 3), framed in the highlight colour.
    EXPECT_EQ(img.pixel(4, 3), SysRgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(img.pixel(5, 4), Ref(VTMenu::Lighten(GetSysColor(COLOR_HIGHLIGHT), 0.85)));
}

TEST_F(VTMenuTest, SharedPicturesKeepTheirSlot)
{
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    MenuImageList list(16, 15);
    list.AddMasked(Strip(), 0);
    const int first = menu.AddSharedImage(list, 0, 101);
    EXPECT_EQ(menu.AddSharedImage(list, 1, 102), first + 1); // classic: no variants
    EXPECT_FALSE(VTMenu::HasImageVariants(first));
    EXPECT_EQ(menu.AddSharedImage(list, 1, 101), first);
    EXPECT_EQ(VTMenu::SharedImages().Image(first).pixel(5, 5), kBlue);
    EXPECT_EQ(VTMenu::SharedImages().Count(), 2);
    int index = 7;
    EXPECT_TRUE(VTMenu::GetToolbarImageIndex(101, kToolbar, index));
    EXPECT_EQ(index, 7); // the first button leaves it
    EXPECT_TRUE(VTMenu::GetToolbarImageIndex(102, kToolbar, index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(VTMenu::GetToolbarImageIndex(555, kToolbar, index));
    EXPECT_FALSE(menu.SetCheckBitmaps(0, kToolbar));
}

TEST_F(VTMenuTest, CheckPicturesAreTheTwoGivenEvenInTheFlatLook)
{
    Flat();
    RegisterBitmapResource(950, QImage(16, 15, QImage::Format_RGB32));
    QImage normal(16, 15, QImage::Format_RGB32), selected(16, 15, QImage::Format_RGB32);
    normal.fill(qRgb(0, 128, 0));
    selected.fill(qRgb(128, 0, 128));
    RegisterBitmapResource(951, normal);
    RegisterBitmapResource(952, selected);
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.SetCheckBitmaps(951, 952));
    menu.AppendItem(QStringLiteral("Check"), MF_OWNERDRAW, 9);
    const QImage img = Paint(menu, menu.Items()[0], ODS_CHECKED | ODS_SELECTED, QSize(200, 22));
    EXPECT_EQ(img.pixel(4 + 5, 4 + 5), qRgb(128, 0, 128));
}

TEST_F(VTMenuTest, ThemeNameDecidesTheClassicLook)
{
    EXPECT_TRUE(VTMenu::IsClassicThemeName(QStringLiteral("C:\\WINDOWS\\Resources\\Themes\\windows classic.THEME")));
    EXPECT_FALSE(VTMenu::IsClassicThemeName(QStringLiteral("Luna.theme")));
    EXPECT_FALSE(VTMenu::IsClassicThemeName(QString()));
    VTMenu::SetVersionClass(7);
    VTMenu::SetThemeFileName(QStringLiteral("Luna.theme"));
    EXPECT_TRUE(VTMenu::FlatLook());
    VTMenu::SetThemeFileName(QStringLiteral("X\\Windows Classic.theme"));
    EXPECT_FALSE(VTMenu::FlatLook());
    VTMenu::SetThemeFileName(QString());
}

TEST_F(VTMenuTest, DisabledPictureIsEmbossed)
{
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(QStringLiteral("Open"), MF_OWNERDRAW, 101, kToolbar);
    const QImage img = Paint(menu, menu.Items()[0], ODS_GRAYED);
    EXPECT_EQ(img.pixel(2 + 5, 2 + 5), SysRgb(COLOR_BTNSHADOW)); // ink in shadow grey
    EXPECT_EQ(img.pixel(2 + 16, 2 + 7), SysRgb(COLOR_BTNHIGHLIGHT)); // highlight edge right of it
    EXPECT_EQ(img.pixel(2, 2 + 5), SysRgb(COLOR_MENU)); // the transparent column
}

TEST_F(VTMenuTest, SwatchPictureIsCentredAndFramed)
{
    const QImage sw = VTMenu::MakeSwatchBitmap(10, 9, 16, 15, Rgb(0, 200, 0), Rgb(0, 0, 0), -1);
    EXPECT_EQ(sw.pixel(0, 0), SysRgb(COLOR_MENU));
    EXPECT_EQ(sw.pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(sw.pixel(7, 7), qRgb(0, 200, 0));
}

// ---- The image button's popup menu.

TEST_F(VTMenuTest, ImageButtonMenuOpensBelowAndPostsTheChosenCommand)
{
    MessageLog owner;
    QWidget window;
    window.setGeometry(20, 20, 300, 200);
    CImageButton button(QStringLiteral("Menu"), &window);
    button.setGeometry(10, 10, 80, 24);
    window.show();
    ASSERT_EQ(button.SetMenu(kMenu, &owner, 1, kToolbar, 16, 15, Rgb(192, 192, 192)), CImageButton::BTNST_OK);
    ASSERT_TRUE(button.HasMenu());

    QPoint where;
    bool pressedWhileOpen = false;
    WhenPopupShown([&](QMenu* popup) {
        where = popup->pos();
        pressedWhileOpen = button.IsMenuShown();
        Key(popup, Qt::Key_S, QStringLiteral("s")); // "&Save", through WM_MENUCHAR
    });
    button.click();
    EXPECT_EQ(where, button.mapToGlobal(QPoint(0, button.height())));
    EXPECT_TRUE(pressedWhileOpen);
    EXPECT_FALSE(button.IsMenuShown());
    ASSERT_TRUE(RunEventsUntil([&] { return owner.Count(WM_COMMAND) > 0; }, 5000));
    EXPECT_EQ(owner.Last(WM_COMMAND)->wParam, 102u);

    // Arrows and Enter choose too; Esc chooses nothing.
    WhenPopupShown([&](QMenu* popup) {
        Key(popup, Qt::Key_Down);
        Key(popup, Qt::Key_Down);
        Key(popup, Qt::Key_Return);
    });
    button.click();
    ASSERT_TRUE(RunEventsUntil([&] { return owner.Count(WM_COMMAND) > 1; }, 5000));
    EXPECT_EQ(owner.Last(WM_COMMAND)->wParam, 102u); // Open, (separator skipped), Save

    WhenPopupShown([&](QMenu* popup) { Key(popup, Qt::Key_Escape); });
    button.click();
    RunEventsFor(50);
    EXPECT_EQ(owner.Count(WM_COMMAND), 2);
    EXPECT_FALSE(button.IsMenuShown());
}

TEST_F(VTMenuTest, ImageButtonMenuRemovalAndFailedPictures)
{
    MessageLog owner;
    CImageButton button(QStringLiteral("Menu"));
    int urls = 0;
    QObject::connect(&button, &CImageButton::UrlRequested, [&] { ++urls; });
    button.SetUrl(QStringLiteral("http://example.org"));
    ASSERT_EQ(button.SetMenu(kMenu, &owner), CImageButton::BTNST_OK);
    EXPECT_EQ(button.SetMenu(0, nullptr), CImageButton::BTNST_OK);
    EXPECT_FALSE(button.HasMenu());
    button.click();
    EXPECT_EQ(urls, 1); // without a menu the URL opens
    EXPECT_EQ(button.SetMenu(kMenu, &owner, 1, 777), CImageButton::BTNST_INVALIDRESOURCE);
    EXPECT_FALSE(button.HasMenu());
    EXPECT_EQ(button.SetMenu(12345, &owner), CImageButton::BTNST_INVALIDRESOURCE);
}

// An image that reports a palette display's depth.
class PaletteImage : public QImage {
public:
    PaletteImage(int w, int h)
        : QImage(w, h, QImage::Format_RGB32)
    {
    }

protected:
    int metric(PaintDeviceMetric m) const override { return m == PdmDepth ? 8 : QImage::metric(m); }
};

TEST_F(VTMenuTest, APaletteDeviceAlwaysGetsTheClassicLook)
{
    Flat();
    VTMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(QStringLiteral("Plain"), MF_OWNERDRAW, 5);
    EXPECT_EQ(Paint(menu, menu.Items()[0], 0).pixel(100, 10), SysRgb(COLOR_WINDOW)) << "flat on a true-colour device";
    PaletteImage img(200, 20);
    img.fill(qRgb(255, 0, 255));
    {
        QPainter p(&img);
        ASSERT_TRUE(VTMenu::PaletteDevice(p));
        DRAWITEMSTRUCT dis;
        dis.hDC = &p;
        dis.rcItem = QRect(0, 0, 200, 20);
        dis.itemData = reinterpret_cast<std::uintptr_t>(menu.Items()[0]);
        menu.DrawItem(&dis);
    }
    EXPECT_EQ(img.pixel(100, 10), SysRgb(COLOR_MENU));
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_MENU)) << "no picture column";
}

TEST_F(VTMenuTest, AnItemWithItsOwnCheckedPictureShowsARadioDot)
{
    struct Case {
        bool flat;
        QPoint glyphOnly; // a pixel of the check glyph outside the dot
        QPoint dotOnly; // a pixel of the dot outside the glyph
        QSize size;
    };
    // Classic: the box at (1, 2), glyph at (5, 6), dot from (6, 6).
    // Flat: the 16 x 16 box at (4, 3), glyph and dot from (9, 7).
    for (const Case& c : { Case { false, { 11, 6 }, { 8, 8 }, { 200, 20 } },
             Case { true, { 15, 7 }, { 11, 9 }, { 200, 22 } } }) {
        SCOPED_TRACE(c.flat ? "flat" : "classic");
        VTMenu::s_drawStyleClassic = c.flat ? 1 : 0;
        VTMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem(QStringLiteral("Check"), MF_OWNERDRAW, 5);
        menu.AppendItem(QStringLiteral("Radio"), MF_OWNERDRAW, 6);
        ASSERT_TRUE(SetRadioCheck(menu.m_hMenu, 6, MF_BYCOMMAND, true));
        auto paint = [&](int item) {
            return PaintItem([&](DRAWITEMSTRUCT* d) { menu.DrawItem(d); },
                reinterpret_cast<std::uintptr_t>(menu.Items()[size_t(item)]), c.size, ODS_CHECKED, menu.m_hMenu);
        };
        const QRgb text = SysRgb(COLOR_MENUTEXT);
        const QImage check = paint(0), radio = paint(1);
        EXPECT_EQ(check.pixel(c.glyphOnly), text);
        EXPECT_NE(check.pixel(c.dotOnly), text);
        EXPECT_EQ(radio.pixel(c.dotOnly), text);
        EXPECT_NE(radio.pixel(c.glyphOnly), text);
    }
}

} // namespace
