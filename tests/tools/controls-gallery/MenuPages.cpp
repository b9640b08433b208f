// Pages of the owner-drawn menus, the flat bars and the menu-driven buttons.
#include "GalleryRegistry.h"

#include "ui/chrome/CCoolMenuManager.h"
#include "ui/chrome/CFlatMenuBarCtrl.h"
#include "ui/chrome/CIconMenu.h"
#include "ui/chrome/CMenuXP.h"
#include "ui/chrome/CSubclassWnd.h"
#include "ui/chrome/MenuColumnPopup.h"
#include "ui/chrome/ChromeResources.h"
#include "ui/chrome/VTMenu.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CMyFlatButton.h"
#include "ui/controls/COwnerDrawMenu.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>

using namespace ulv;
using ulv::gallery::DialogFace;
using ulv::gallery::Labelled;

namespace {

constexpr int kMainMenu = 128;
constexpr int kPopupPictures = 299;

// A still of a popup with one item highlighted (-1 none).
QLabel* MenuShot(QMenu* menu, int active)
{
    menu->adjustSize();
    if (active >= 0 && active < menu->actions().size())
        menu->setActiveAction(menu->actions()[active]);
    auto* label = new QLabel;
    label->setPixmap(menu->grab());
    return label;
}

QWidget* GridPage(QGridLayout*& grid)
{
    QWidget* page = DialogFace();
    grid = new QGridLayout(page);
    return page;
}

void Add(QGridLayout* grid, QWidget* page, int row, int col, const QString& caption, QWidget* control)
{
    grid->addWidget(Labelled(caption, control, page), row, col);
}

// The program's File popup with its pictures, in one look.
QLabel* VTMenuShot(bool flat, int active, bool disableSecond)
{
    VTMenu::s_drawStyleThemed = flat ? 1 : 0;
    VTMenu::s_drawStyleClassic = flat ? 1 : 0;
    VTMenu menu;
    menu.LoadMenu(kMainMenu);
    menu.LoadToolbarImages(kPopupPictures);
    HMENU file = menu.GetSubMenu(0);
    CheckMenuItem(file, 0, MF_BYPOSITION | MF_CHECKED);
    // The last command is a radio item that is on.
    for (int pos = GetMenuItemCount(file) - 1; pos > 0; --pos) {
        const UINT id = GetMenuItemID(file, pos);
        if (id != 0 && id != UINT(-1)) {
            SetRadioCheck(file, id, MF_BYCOMMAND, true);
            break;
        }
    }
    if (disableSecond)
        EnableMenuItem(file, 1, MF_BYPOSITION | MF_GRAYED);
    QLabel* shot = MenuShot(file, active);
    VTMenu::s_drawStyleThemed = 1;
    VTMenu::s_drawStyleClassic = 0;
    return shot;
}

gallery::Page vtMenu("vtmenu", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    Add(grid, page, 0, 0, QStringLiteral("classic"), VTMenuShot(false, -1, false));
    Add(grid, page, 0, 1, QStringLiteral("classic, hot"), VTMenuShot(false, 3, true));
    Add(grid, page, 0, 2, QStringLiteral("flat"), VTMenuShot(true, -1, false));
    Add(grid, page, 0, 3, QStringLiteral("flat, hot"), VTMenuShot(true, 3, true));
    return page;
});

CMenuXPItem* XpItem(UINT id, const QString& text, const QImage& icon = QImage())
{
    auto* item = new CMenuXPItem;
    item->id = id;
    item->text = text;
    item->icon = icon;
    return item;
}

QImage Swatch(QRgb colour)
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(colour);
    return icon;
}

// An empty popup in a style with its side bar.
void StartXpMenu(CMenuXP& menu, int style)
{
    menu.CreatePopupMenu();
    menu.m_nStyle = style;
    auto* bar = XpItem(0, QStringLiteral("Ulvenscope"));
    bar->size = 24;
    menu.AppendSideBar(bar);
}

QLabel* XpShot(int style, int active)
{
    CMenuXP menu;
    StartXpMenu(menu, style);
    const ACCEL ctrlO { FVIRTKEY | FCONTROL, 'O', 1 };
    menu.AppendODMenu(0, XpItem(1, QStringLiteral("&Open"), Swatch(qRgb(40, 120, 200))), &ctrlO);
    menu.AppendODMenu(MF_CHECKED, XpItem(2, QStringLiteral("&Log to file")));
    menu.AppendSeparator();
    menu.AppendODMenu(MF_GRAYED, XpItem(3, QStringLiteral("&Disconnect"), Swatch(qRgb(200, 60, 40))));
    menu.AppendODMenu(0, XpItem(4, QStringLiteral("E&xit")));
    return MenuShot(menu.m_hMenu, active);
}

// Side bar, a column, a break, a column, a bar break, a last column.
QLabel* XpColumnsShot(int style)
{
    CMenuXP menu;
    StartXpMenu(menu, style);
    menu.AppendODMenu(0, XpItem(1, QStringLiteral("&Open"), Swatch(qRgb(40, 120, 200))));
    menu.AppendODMenu(0, XpItem(2, QStringLiteral("&Save")));
    menu.AppendSeparator();
    menu.AppendODMenu(0, XpItem(3, QStringLiteral("E&xit")));
    menu.Break();
    menu.AppendODMenu(0, XpItem(4, QStringLiteral("&Connect")));
    menu.AppendODMenu(MF_CHECKED, XpItem(5, QStringLiteral("&Log to file")));
    menu.BreakBar();
    menu.AppendODMenu(0, XpItem(6, QStringLiteral("&Help topics")));
    menu.AppendODMenu(MF_GRAYED, XpItem(7, QStringLiteral("&About"), Swatch(qRgb(200, 60, 40))));
    MenuColumnPopup popup(menu.m_hMenu);
    popup.Prepare();
    popup.resize(popup.sizeHint());
    auto* label = new QLabel;
    label->setPixmap(popup.grab());
    return label;
}

gallery::Page menuXp("menu-xp", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    Add(grid, page, 0, 0, QStringLiteral("style 0"), XpShot(0, 1));
    Add(grid, page, 0, 1, QStringLiteral("style 2"), XpShot(2, 1));
    Add(grid, page, 0, 2, QStringLiteral("style 1"), XpShot(1, 5));
    Add(grid, page, 1, 0, QStringLiteral("columns, style 0"), XpColumnsShot(0));
    Add(grid, page, 1, 1, QStringLiteral("columns, style 2"), XpColumnsShot(2));
    return page;
});

gallery::Page iconMenu("icon-menu", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    for (int active : { -1, 0 }) {
        CIconMenu menu;
        menu.LoadToolbar(kPopupPictures);
        HMENU plain = CreatePopupMenu();
        const std::vector<MenuPopupResource> resource = LoadMenuResource(kMainMenu);
        for (const MenuItemResource& item : resource.empty() ? std::vector<MenuItemResource>() : resource[0].items)
            AppendMenu(plain, item.id == 0 ? MF_SEPARATOR : MF_STRING, item.id, item.text);
        EnableMenuItem(plain, 1, MF_BYPOSITION | MF_GRAYED);
        menu.ConvertToOwnerDraw(plain);
        Add(grid, page, 0, active + 1, active < 0 ? QStringLiteral("at rest") : QStringLiteral("hot"),
            MenuShot(plain, active));
        DestroyMenu(plain);
    }
    return page;
});

gallery::Page ownerDrawMenu("owner-draw-menu", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 1, QStringLiteral("Connect"));
    AppendMenu(popup, MF_STRING, 2, QStringLiteral("Disconnect"));
    AppendMenu(popup, MF_STRING, 3, QStringLiteral("Settings"));
    COwnerDrawMenu menu;
    menu.MakeOwnerDraw(popup);
    Add(grid, page, 0, 0, QStringLiteral("popup, second item hot"), MenuShot(popup, 1));
    DestroyMenu(popup);
    return page;
});

gallery::Page flatButton("flat-button", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    const char* names[] = { "normal", "pressed", "disabled", "not always raised" };
    for (int i = 0; i < 4; ++i) {
        auto* b = new CMyFlatButton(QStringLiteral("Apply"));
        b->setFixedSize(75, 23);
        if (i == 1)
            b->setDown(true);
        if (i == 2)
            b->setEnabled(false);
        if (i == 3)
            b->SetAlwaysRaised(false);
        Add(grid, page, 0, i, QString::fromLatin1(names[i]), b);
    }
    return page;
});

gallery::Page coolMenu("cool-menu-manager", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    CCoolMenuManager manager;
    manager.LoadToolbar(kPopupPictures);
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 32807, QStringLiteral("&Connect\tCtrl+K"));
    AppendMenu(popup, MF_STRING | MF_CHECKED, 32851, QStringLiteral("&Save setting"));
    AppendMenu(popup, MF_SEPARATOR, 0, QString());
    AppendMenu(popup, MF_STRING | MF_GRAYED, 32775, QStringLiteral("&Disconnect"));
    AppendMenu(popup, MF_STRING, 57665, QStringLiteral("E&xit"));
    AppendMenu(popup, MF_SEPARATOR, 0, QString());
    AppendMenu(popup, MF_STRING, 32901, QStringLiteral("&Text mode"));
    AppendMenu(popup, MF_STRING, 32902, QStringLiteral("&Hex mode"));
    SetRadioCheck(popup, 32901, MF_BYCOMMAND, true);
    SetRadioCheck(popup, 32902, MF_BYCOMMAND, false);
    manager.MakeItemsOwnerDrawn(popup, false, true);
    // The manager draws what its menus send to their owner.
    auto* owner = new QWidget(page);
    owner->hide();
    manager.Install(owner);
    AdoptMenu(popup, owner);
    Add(grid, page, 0, 0, QStringLiteral("open, first item hot"), MenuShot(popup, 0));
    manager.MakeItemsOwnerDrawn(popup, false, false);
    manager.Install(nullptr);
    DestroyMenu(popup);
    return page;
});

gallery::Page flatBars("flat-bars", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    auto* toolbar = new CFlatToolBarCtrl;
    toolbar->LoadToolBar(kMainMenu);
    if (toolbar->actions().size() > 2)
        toolbar->actions()[2]->setCheckable(true), toolbar->actions()[2]->setChecked(true);
    Add(grid, page, 0, 0, QStringLiteral("flat toolbar (a checked button)"), toolbar);
    auto* bar = new CFlatMenuBarCtrl;
    auto* menu = new CMenuXP;
    menu->CreatePopupMenu();
    for (const char* name : { "&File", "&View", "&Help" }) {
        auto* sub = new CMenuXP;
        sub->CreatePopupMenu();
        sub->AppendODMenu(0, XpItem(1, QStringLiteral("Item")));
        menu->AppendODPopupMenu(0, sub, XpItem(0, QString::fromLatin1(name), Swatch(qRgb(40, 120, 200))));
    }
    bar->SetMenu(menu);
    Add(grid, page, 1, 0, QStringLiteral("flat menu bar"), bar);
    return page;
});

gallery::Page imageButtonMenu("image-button-menu", [] {
    QGridLayout* grid = nullptr;
    QWidget* page = GridPage(grid);
    auto* button = new CImageButton(QStringLiteral("Menu"));
    button->setFixedSize(80, 26);
    button->SetMenu(kMainMenu, page, 1, kPopupPictures, 24, 22, Rgb(192, 192, 192));
    Add(grid, page, 0, 0, QStringLiteral("button"), button);
    Add(grid, page, 0, 1, QStringLiteral("its popup (under the button)"), MenuShot(button->PopupMenu().GetSubMenu(0), 3));
    return page;
});

// Notes its name on every message it sees.
class NamedHook : public CSubclassWnd {
public:
    NamedHook(QString name, QString* trace)
        : m_name(std::move(name))
        , m_trace(trace)
    {
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        *m_trace += m_name + QStringLiteral(" → ");
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    }

private:
    QString m_name;
    QString* m_trace;
};

gallery::Page subclassHooks("subclass-hooks", [] {
    QWidget* page = DialogFace();
    auto* label = new QLabel(page);
    label->setMargin(8);
    QWidget window;
    QString trace;
    NamedHook a(QStringLiteral("A"), &trace), b(QStringLiteral("B"), &trace), c(QStringLiteral("C"), &trace);
    a.HookWindow(&window);
    b.HookWindow(&window);
    c.HookWindow(&window);
    SendMessage(&window, WM_USER, 0, 0);
    QString text = QStringLiteral("Hooked A, B, C: ") + trace + QStringLiteral("window\n");
    trace.clear();
    b.HookWindow(nullptr);
    SendMessage(&window, WM_USER, 0, 0);
    text += QStringLiteral("B unhooked: ") + trace + QStringLiteral("window");
    label->setText(text);
    return page;
});

} // namespace
