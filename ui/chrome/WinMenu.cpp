#include "ui/chrome/WinMenu.h"

#include "ui/chrome/MenuColumnPopup.h"
#include "ui/chrome/WinMenuInternal.h"
#include "ui/controls/WinLook.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QSet>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

#include <memory>
#include <vector>

namespace ulv {

namespace {

    const char* const kFlags = "ulvMenuFlags";
    const char* const kState = "ulvMenuState";
    const char* const kId = "ulvMenuId";
    const char* const kData = "ulvMenuData";
    const char* const kOwner = "ulvMenuOwner";
    const char* const kRoot = "ulvMenuRoot";
    const char* const kSideBar = "ulvMenuSideBar";
    const char* const kUnchecked = "ulvMenuUncheckedMark";
    const char* const kChecked = "ulvMenuCheckedMark";

    constexpr UINT kTypeBits = MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP | MF_MENUBREAK | MF_MENUBARBREAK | MF_BITMAP;
    constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT;

    QSet<QMenu*>& LiveMenus()
    {
        static QSet<QMenu*> menus;
        return menus;
    }

    QHash<QMenu*, CMenu*>& PermanentMenus()
    {
        static QHash<QMenu*, CMenu*> map;
        return map;
    }

    QHash<QMenu*, CMenu*>& Drawers()
    {
        static QHash<QMenu*, CMenu*> map;
        return map;
    }

    QPointer<QWidget>& TrackingOwner()
    {
        static QPointer<QWidget> owner;
        return owner;
    }

    // Owner-drawn items carry an icon whose cache key names their action, so
    // the style can tell which item it is asked to measure.
    class ItemTagEngine : public QIconEngine {
    public:
        void paint(QPainter*, const QRect&, QIcon::Mode, QIcon::State) override { }
        QIconEngine* clone() const override { return new ItemTagEngine; }
        bool isNull() override { return false; }
    };

    QHash<qint64, QAction*>& TaggedActions()
    {
        static QHash<qint64, QAction*> map;
        return map;
    }

    void TagAction(QAction* action)
    {
        if (action->icon().cacheKey() != 0 && TaggedActions().value(action->icon().cacheKey()) == action)
            return;
        const QIcon tag(new ItemTagEngine);
        action->setIcon(tag);
        TaggedActions().insert(tag.cacheKey(), action);
        QObject::connect(action, &QObject::destroyed, [key = tag.cacheKey()] { TaggedActions().remove(key); });
    }

    UINT ActionFlags(const QAction* a) { return a->property(kFlags).toUInt(); }
    UINT ActionState(const QAction* a) { return a->property(kState).toUInt(); }

    void Prepare(QMenu* menu, QWidget* owner, bool root);

    QAction* FindByCommand(QMenu* menu, UINT id, QMenu** holder)
    {
        for (QAction* a : menu->actions()) {
            if (!a->menu() && !a->isSeparator() && a->property(kId).toUInt() == id) {
                if (holder)
                    *holder = menu;
                return a;
            }
        }
        for (QAction* a : menu->actions()) {
            if (QMenu* sub = a->menu()) {
                if (QAction* found = FindByCommand(sub, id, holder))
                    return found;
            }
        }
        return nullptr;
    }

    QAction* ItemAt(QMenu* menu, UINT item, UINT flags, QMenu** holder = nullptr)
    {
        if (!IsMenu(menu))
            return nullptr;
        if (flags & MF_BYPOSITION) {
            const QList<QAction*> items = menu->actions();
            if (int(item) < 0 || int(item) >= items.size())
                return nullptr;
            if (holder)
                *holder = menu;
            return items[int(item)];
        }
        return FindByCommand(menu, item, holder);
    }

    void ApplyItem(QAction* action, UINT flags, UINT id, const QString& text, std::uintptr_t data)
    {
        action->setProperty(kFlags, flags & kTypeBits);
        action->setProperty(kState, flags & kStateBits);
        action->setProperty(kId, id);
        action->setProperty(kData, QVariant::fromValue<qulonglong>(data));
        action->setEnabled(!(flags & (MF_GRAYED | MF_DISABLED)));
        const bool checked = flags & MF_CHECKED;
        if (!action->isSeparator()) {
            action->setCheckable(checked);
            action->setChecked(checked);
        }
        if (flags & MF_OWNERDRAW) {
            action->setText(QString());
            TagAction(action);
        } else {
            if (!action->icon().isNull() && TaggedActions().contains(action->icon().cacheKey())) {
                TaggedActions().remove(action->icon().cacheKey());
                action->setIcon(QIcon());
            }
            if (QMenu* sub = action->menu())
                sub->setTitle(text);
            action->setText(text);
        }
    }

    QAction* MakeAction(QMenu* menu, UINT flags, std::uintptr_t idOrMenu, const QString& text, std::uintptr_t data)
    {
        QAction* action = nullptr;
        UINT id = UINT(idOrMenu);
        if (flags & MF_POPUP) {
            auto* sub = reinterpret_cast<QMenu*>(idOrMenu);
            if (!IsMenu(sub) || sub == menu)
                return nullptr;
            action = sub->menuAction();
            id = UINT(-1);
            Prepare(sub, nullptr, false);
        } else {
            action = new QAction(menu);
            if (flags & MF_SEPARATOR) {
                action->setSeparator(true);
                id = 0;
            }
        }
        ApplyItem(action, flags, id, text, data);
        return action;
    }

    // A zero-height owner-drawn first item followed by a column break is a
    // column of its own at the left (a side bar); its width, 0 when none.
    int SideBarWidthOf(QMenu* menu)
    {
        const QList<QAction*> items = menu->actions();
        if (items.size() < 2 || !(ActionFlags(items[0]) & MF_OWNERDRAW)
            || !(ActionFlags(items[1]) & (MF_MENUBREAK | MF_MENUBARBREAK)))
            return 0;
        MEASUREITEMSTRUCT mis;
        mis.itemID = items[0]->property(kId).toUInt();
        mis.itemData = items[0]->property(kData).toULongLong();
        QWidget* owner = MenuOwner(menu);
        if (owner)
            SendMessage(owner, WM_MEASUREITEM, 0, PointerParam(&mis));
        else if (CMenu* object = MenuDrawer(menu))
            object->MeasureItem(&mis);
        // The platform widens it by a check-mark width, as every item.
        const int width = mis.itemWidth + GetSystemMetrics(SM_CXMENUCHECK) - 1;
        return mis.itemHeight == 0 && width > 0 ? width : 0;
    }

    // A QMenu keeps the side bar out of its item list and leaves a margin of
    // its width, where it is painted.
    void UpdateColumns(QMenu* menu)
    {
        const QList<QAction*> items = menu->actions();
        const int sideBar = SideBarWidthOf(menu);
        for (int i = 0; i < items.size(); ++i)
            items[i]->setVisible(!(i == 0 && sideBar > 0));
        menu->setProperty(kSideBar, sideBar);
        menu->setContentsMargins(sideBar, 0, 0, 0);
    }

    bool Owns(const QAction* action)
    {
        return action && (ActionFlags(action) & MF_OWNERDRAW);
    }

    // Routes the measuring and painting of owner-drawn items to their owner.
    class OwnerDrawStyle : public QProxyStyle {
    public:
        OwnerDrawStyle()
            : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
        {
        }

        QSize sizeFromContents(
            ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const override
        {
            if (type == CT_MenuItem) {
                auto* menu = qobject_cast<QMenu*>(const_cast<QWidget*>(widget));
                const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
                QAction* action = item ? TaggedActions().value(item->icon.cacheKey()) : nullptr;
                if (menu && Owns(action))
                    return winmenu::MeasureOwnerDrawnItem(menu, action);
            }
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        }

        void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
            const QWidget* widget) const override
        {
            auto* menu = qobject_cast<QMenu*>(const_cast<QWidget*>(widget));
            if (element == CE_MenuItem && menu) {
                const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
                QAction* action = item ? TaggedActions().value(item->icon.cacheKey()) : nullptr;
                if (Owns(action)) {
                    winmenu::PaintOwnerDrawnItem(menu, action, painter, option->rect, option->state & State_Selected);
                    return;
                }
            }
            if (element == CE_MenuEmptyArea && menu) {
                FillSolidRect(*painter, option->rect, GetSysColor(COLOR_MENU));
                const int sideBar = menu->property(kSideBar).toInt();
                if (sideBar > 0 && !menu->actions().isEmpty()) {
                    const int fw = pixelMetric(PM_MenuPanelWidth, nullptr, widget);
                    const QRect r(fw, fw, sideBar, menu->height() - 2 * fw);
                    winmenu::PaintOwnerDrawnItem(menu, menu->actions().first(), painter, r, false);
                }
                return;
            }
            QProxyStyle::drawControl(element, option, painter, widget);
        }

        void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
            const QWidget* widget) const override
        {
            if (element == PE_PanelMenu) {
                FillSolidRect(*painter, option->rect, GetSysColor(COLOR_MENU));
                return;
            }
            if (element == PE_FrameMenu) {
                const QRect inner = DrawEdge(*painter, option->rect, EDGE_RAISED);
                Draw3dRect(*painter, inner, GetSysColor(COLOR_MENU), GetSysColor(COLOR_MENU));
                return;
            }
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        }

        int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
        {
            switch (metric) {
            case PM_MenuHMargin:
            case PM_MenuVMargin:
            case PM_MenuDesktopFrameWidth:
                return 0;
            case PM_MenuPanelWidth:
                return 3;
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
            }
        }

        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
            QStyleHintReturn* returnData) const override
        {
            if (hint == SH_Menu_AllowActiveAndDisabled)
                return 1;
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    };

    // The menu whose filters are being offered a popup widget's event.
    QMenu*& OfferedMenu()
    {
        static QMenu* menu = nullptr;
        return menu;
    }
    bool& OfferReachedMenu()
    {
        static bool reached = false;
        return reached;
    }

    // Keys that no plain item's access key takes go to the owner as
    // WM_MENUCHAR, as owner-drawn items have no text of their own.
    class MenuKeyFilter : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            // This filter is the menu's first, so it runs after any other:
            // an offered event that gets here was taken by none of them,
            // and the hidden menu must not act on it.
            if (watched == OfferedMenu()) {
                OfferReachedMenu() = true;
                return true;
            }
            if (event->type() != QEvent::KeyPress)
                return false;
            auto* menu = qobject_cast<QMenu*>(watched);
            auto* key = static_cast<QKeyEvent*>(event);
            if (!menu || key->text().isEmpty() || !key->text()[0].isPrint() || key->text()[0].isSpace())
                return false;
            const QChar c = key->text()[0];
            if (winmenu::PlainMnemonicItem(menu, c))
                return false;
            const LRESULT r = winmenu::AskMenuChar(menu, c);
            const QList<QAction*> items = menu->actions();
            const int pos = int(LoWord(std::uintptr_t(r)));
            switch (HiWord(std::uintptr_t(r))) {
            case MNC_EXECUTE:
                if (pos >= 0 && pos < items.size() && items[pos]->isEnabled()) {
                    menu->setActiveAction(items[pos]);
                    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                    QCoreApplication::sendEvent(menu, &enter);
                }
                break;
            case MNC_SELECT:
                if (pos >= 0 && pos < items.size())
                    menu->setActiveAction(items[pos]);
                break;
            case MNC_CLOSE:
                menu->close();
                break;
            default:
                break;
            }
            return true;
        }
    };

    MenuKeyFilter* KeyFilter()
    {
        static QPointer<MenuKeyFilter> filter;
        if (!filter)
            filter = new MenuKeyFilter(qApp);
        return filter;
    }

    // The position of a popup in the menu that holds it; 0 for a root.
    int IndexInParent(QMenu* menu)
    {
        for (QMenu* other : LiveMenus()) {
            const int i = int(other->actions().indexOf(menu->menuAction()));
            if (i >= 0)
                return i;
        }
        return 0;
    }

    void Prepare(QMenu* menu, QWidget* owner, bool root)
    {
        if (owner)
            menu->setProperty(kOwner, QVariant::fromValue<QObject*>(owner));
        if (root)
            menu->setProperty(kRoot, true);
        if (LiveMenus().contains(menu))
            return;
        LiveMenus().insert(menu);
        menu->setStyle(winmenu::Style());
        menu->setSeparatorsCollapsible(false);
        menu->installEventFilter(KeyFilter());
        QObject::connect(menu, &QObject::destroyed, [menu] {
            LiveMenus().remove(menu);
            Drawers().remove(menu);
            winmenu::SetShownBy(menu, nullptr);
            if (CMenu* object = PermanentMenus().take(menu))
                object->m_hMenu = nullptr;
        });
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] {
            winmenu::SendInitMenuPopup(menu);
            menu->adjustSize();
        });
        QObject::connect(
            menu, &QMenu::hovered, menu, [menu](QAction* a) { winmenu::SendMenuSelect(menu, a); });
        QObject::connect(menu, &QMenu::aboutToHide, menu, [menu] { winmenu::SendMenuClosed(menu); });
        for (QAction* a : menu->actions()) {
            if (a->menu())
                Prepare(a->menu(), nullptr, false);
        }
    }

} // namespace

namespace winmenu {

    UINT ItemFlags(const QAction* action) { return ActionFlags(action); }
    UINT ItemState(const QAction* action) { return ActionState(action); }
    bool IsOwnerDrawn(const QAction* action) { return Owns(action); }

    QStyle* Style()
    {
        static QPointer<QStyle> style;
        if (!style) {
            style = new OwnerDrawStyle;
            style->setParent(qApp);
        }
        return style;
    }

    QSize MeasureOwnerDrawnItem(QMenu* menu, QAction* action)
    {
        MEASUREITEMSTRUCT mis;
        mis.itemID = action->property(kId).toUInt();
        mis.itemData = action->property(kData).toULongLong();
        if (QWidget* owner = MenuOwner(menu))
            SendMessage(owner, WM_MEASUREITEM, 0, PointerParam(&mis));
        else
            DefWindowProc(nullptr, WM_MEASUREITEM, 0, PointerParam(&mis));
        // The platform adds room for a check mark to every owner-drawn item.
        return { std::max(0, mis.itemWidth + GetSystemMetrics(SM_CXMENUCHECK) - 1), std::max(0, mis.itemHeight) };
    }

    void PaintOwnerDrawnItem(QMenu* menu, QAction* action, QPainter* painter, const QRect& r, bool selected)
    {
        DRAWITEMSTRUCT dis;
        dis.itemID = action->menu() ? UINT(reinterpret_cast<std::uintptr_t>(action->menu()))
                                    : action->property(kId).toUInt();
        dis.itemData = action->property(kData).toULongLong();
        dis.hwndItem = menu;
        dis.hDC = painter;
        dis.rcItem = r;
        const UINT state = ActionState(action);
        if (selected)
            dis.itemState |= ODS_SELECTED;
        if (state & MF_GRAYED)
            dis.itemState |= ODS_GRAYED;
        if (state & (MF_DISABLED | MF_GRAYED))
            dis.itemState |= ODS_DISABLED;
        if (state & MF_CHECKED)
            dis.itemState |= ODS_CHECKED;
        if (state & MF_DEFAULT)
            dis.itemState |= ODS_DEFAULT;
        painter->save();
        painter->setClipRect(r, Qt::IntersectClip);
        if (QWidget* owner = MenuOwner(menu))
            SendMessage(owner, WM_DRAWITEM, 0, PointerParam(&dis));
        else
            DefWindowProc(nullptr, WM_DRAWITEM, 0, PointerParam(&dis));
        painter->restore();
    }

    int SideBarWidth(QMenu* menu) { return IsMenu(menu) ? SideBarWidthOf(menu) : 0; }

    bool HasColumnBreaks(QMenu* menu, bool nested)
    {
        if (!IsMenu(menu))
            return false;
        for (QAction* a : menu->actions()) {
            if (ActionFlags(a) & (MF_MENUBREAK | MF_MENUBARBREAK))
                return true;
            if (nested && a->menu() && a->menu() != menu && HasColumnBreaks(a->menu(), true))
                return true;
        }
        return false;
    }

    void SendInitMenuPopup(QMenu* menu)
    {
        UpdateColumns(menu);
        if (QWidget* o = MenuOwner(menu))
            SendMessage(o, WM_INITMENUPOPUP, WPARAM(reinterpret_cast<std::uintptr_t>(menu)),
                MakeLResult(UINT(IndexInParent(menu)), 0));
    }

    void SendMenuSelect(QMenu* menu, QAction* action)
    {
        QWidget* o = MenuOwner(menu);
        if (!o || !action)
            return;
        const int pos = int(menu->actions().indexOf(action));
        const UINT flags = ActionFlags(action) | ActionState(action) | MF_HILITE;
        const UINT item = action->menu() ? UINT(pos) : action->property(kId).toUInt();
        SendMessage(o, WM_MENUSELECT, MakeWParam(item, flags), PointerParam(menu));
    }

    void SendMenuClosed(QMenu* menu)
    {
        if (!menu->property(kRoot).toBool())
            return;
        if (QWidget* o = MenuOwner(menu))
            SendMessage(o, WM_MENUSELECT, MakeWParam(0, 0xFFFF), 0);
    }

    LRESULT AskMenuChar(QMenu* menu, QChar c)
    {
        const WPARAM wParam = MakeWParam(c.unicode(), MF_POPUP);
        if (QWidget* owner = MenuOwner(menu))
            return SendMessage(owner, WM_MENUCHAR, wParam, PointerParam(menu));
        return DefWindowProc(nullptr, WM_MENUCHAR, wParam, PointerParam(menu));
    }

    QAction* PlainMnemonicItem(QMenu* menu, QChar c)
    {
        for (QAction* a : menu->actions()) {
            if (Owns(a) || !a->isVisible())
                continue;
            const QString t = a->text();
            const int amp = int(t.indexOf(QLatin1Char('&')));
            if (amp >= 0 && amp + 1 < t.size() && t[amp + 1].toLower() == c.toLower())
                return a;
        }
        return nullptr;
    }

    bool OfferToMenuFilters(QMenu* menu, QEvent* event)
    {
        if (!IsMenu(menu) || OfferedMenu())
            return false;
        // Qt hands a plain mouse move only to widgets that track the mouse.
        if (event->type() == QEvent::MouseMove && !menu->hasMouseTracking())
            return false;
        OfferedMenu() = menu;
        OfferReachedMenu() = false;
        QCoreApplication::sendEvent(menu, event);
        const bool taken = !OfferReachedMenu();
        OfferedMenu() = nullptr;
        return taken;
    }

    namespace {
        QHash<QMenu*, MenuColumnPopup*>& ShownMenus()
        {
            static QHash<QMenu*, MenuColumnPopup*> map;
            return map;
        }
    } // namespace

    void SetShownBy(QMenu* menu, MenuColumnPopup* popup)
    {
        if (popup)
            ShownMenus().insert(menu, popup);
        else
            ShownMenus().remove(menu);
    }

    MenuColumnPopup* ShownBy(QMenu* menu) { return ShownMenus().value(menu, nullptr); }

} // namespace winmenu

// ---- Messages.

WinMessageEvent::WinMessageEvent(UINT m, WPARAM w, LPARAM l)
    : QEvent(EventType())
    , message(m)
    , wParam(w)
    , lParam(l)
{
}

QEvent::Type WinMessageEvent::EventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

LRESULT SendMessage(QObject* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return 0;
    WinMessageEvent ev(message, wParam, lParam);
    if (QCoreApplication::sendEvent(window, &ev))
        return ev.result;
    return DefWindowProc(window, message, wParam, lParam);
}

void PostMessage(QObject* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window)
        QCoreApplication::postEvent(window, new WinMessageEvent(message, wParam, lParam));
}

LRESULT CallWindowProc(QObject* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return 0;
    WinMessageEvent ev(message, wParam, lParam);
    if (window->event(&ev))
        return ev.result;
    return DefWindowProc(window, message, wParam, lParam);
}

LRESULT DefWindowProc(QObject*, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_DRAWITEM) {
        auto* dis = MessagePointer<DRAWITEMSTRUCT>(lParam);
        if (dis && dis->CtlType == ODT_MENU) {
            if (CMenu* menu = MenuDrawer(dis->hwndItem)) {
                menu->DrawItem(dis);
                return 1;
            }
        }
    } else if (message == WM_MEASUREITEM) {
        auto* mis = MessagePointer<MEASUREITEMSTRUCT>(lParam);
        if (mis && mis->CtlType == ODT_MENU) {
            // Without the menu's handle in the record, the first menu object
            // whose menu holds an item with this data measures it.
            for (const auto* map : { &PermanentMenus(), &Drawers() }) {
                for (auto it = map->cbegin(); it != map->cend(); ++it) {
                    for (QAction* a : it.key()->actions()) {
                        if (Owns(a) && a->property(kData).toULongLong() == mis->itemData) {
                            it.value()->MeasureItem(mis);
                            return 1;
                        }
                    }
                }
            }
        }
    }
    return 0;
}

// ---- Menu handles.

HMENU CreatePopupMenu()
{
    auto* menu = new QMenu;
    Prepare(menu, nullptr, false);
    return menu;
}

void AdoptMenu(HMENU menu, QWidget* owner)
{
    if (!menu)
        return;
    Prepare(menu, owner, !qobject_cast<QMenu*>(menu->parentWidget()));
    for (QAction* a : menu->actions()) {
        if (a->menu())
            AdoptMenu(a->menu(), owner);
    }
}

bool IsMenu(HMENU menu)
{
    return menu && LiveMenus().contains(menu);
}

bool DestroyMenu(HMENU menu)
{
    if (!IsMenu(menu))
        return false;
    std::vector<QPointer<QMenu>> subs;
    for (QAction* a : menu->actions()) {
        if (a->menu())
            subs.emplace_back(a->menu());
    }
    for (const QPointer<QMenu>& sub : subs) {
        if (sub)
            DestroyMenu(sub);
    }
    LiveMenus().remove(menu);
    if (CMenu* object = PermanentMenus().take(menu))
        object->m_hMenu = nullptr;
    delete menu;
    return true;
}

int GetMenuItemCount(HMENU menu)
{
    return IsMenu(menu) ? int(menu->actions().size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    QAction* a = ItemAt(menu, UINT(position), MF_BYPOSITION);
    if (!a || a->menu())
        return UINT(-1);
    return a->isSeparator() ? 0 : a->property(kId).toUInt();
}

HMENU GetSubMenu(HMENU menu, int position)
{
    QAction* a = ItemAt(menu, UINT(position), MF_BYPOSITION);
    return a ? a->menu() : nullptr;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
    QAction* a = ItemAt(menu, item, flags);
    if (!a)
        return UINT(-1);
    UINT state = ActionFlags(a) | ActionState(a);
    if (a->menu())
        state = (state & 0xFF) | (UINT(a->menu()->actions().size()) << 8) | MF_POPUP;
    return state;
}

UINT GetMenuItemType(HMENU menu, UINT item, UINT flags)
{
    QAction* a = ItemAt(menu, item, flags);
    return a ? ActionFlags(a) : 0;
}

QString GetMenuString(HMENU menu, UINT item, UINT flags)
{
    QAction* a = ItemAt(menu, item, flags);
    if (!a || Owns(a) || a->isSeparator())
        return {};
    return a->text();
}

std::uintptr_t GetMenuItemData(HMENU menu, UINT item, UINT flags)
{
    QAction* a = ItemAt(menu, item, flags);
    return a ? std::uintptr_t(a->property(kData).toULongLong()) : 0;
}

bool SetMenuItemData(HMENU menu, UINT item, UINT flags, std::uintptr_t data)
{
    QAction* a = ItemAt(menu, item, flags);
    if (!a)
        return false;
    a->setProperty(kData, QVariant::fromValue<qulonglong>(data));
    return true;
}

bool SetMenuItemBitmaps(HMENU menu, UINT item, UINT flags, HBITMAP unchecked, HBITMAP checked)
{
    QAction* a = ItemAt(menu, item, flags);
    if (!a)
        return false;
    a->setProperty(kUnchecked, QVariant::fromValue<qulonglong>(reinterpret_cast<std::uintptr_t>(unchecked)));
    a->setProperty(kChecked, QVariant::fromValue<qulonglong>(reinterpret_cast<std::uintptr_t>(checked)));
    return true;
}

bool GetMenuItemCheckMarks(HMENU menu, UINT item, UINT flags, HBITMAP* unchecked, HBITMAP* checked)
{
    QAction* a = ItemAt(menu, item, flags);
    if (!a)
        return false;
    if (unchecked)
        *unchecked = reinterpret_cast<HBITMAP>(std::uintptr_t(a->property(kUnchecked).toULongLong()));
    if (checked)
        *checked = reinterpret_cast<HBITMAP>(std::uintptr_t(a->property(kChecked).toULongLong()));
    return true;
}

HBITMAP LibraryRadioCheckMark()
{
    // A round dot on a transparent 13 x 13 square, as the class library
    // makes it.
    static QImage mark = [] {
        QImage img(13, 13, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QRect(4, 4, 5, 5));
        return img;
    }();
    return &mark;
}

bool SetRadioCheck(HMENU menu, UINT item, UINT flags, bool on)
{
    if (!SetMenuItemBitmaps(menu, item, flags, nullptr, LibraryRadioCheckMark()))
        return false;
    CheckMenuItem(menu, item, (flags & MF_BYPOSITION) | (on ? MF_CHECKED : MF_UNCHECKED));
    return true;
}

QAction* MenuItemAction(HMENU menu, UINT item, UINT flags)
{
    return ItemAt(menu, item, flags);
}

bool AppendMenu(HMENU menu, UINT flags, std::uintptr_t idOrMenu, const QString& text, std::uintptr_t data)
{
    return InsertMenu(menu, UINT(-1), flags | MF_BYPOSITION, idOrMenu, text, data);
}

bool InsertMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrMenu, const QString& text,
    std::uintptr_t data)
{
    if (!IsMenu(menu))
        return false;
    QMenu* holder = menu;
    QAction* before = nullptr;
    if (flags & MF_BYPOSITION) {
        const QList<QAction*> items = menu->actions();
        if (int(position) >= 0 && int(position) < items.size())
            before = items[int(position)];
    } else {
        before = FindByCommand(menu, position, &holder);
        if (!before)
            return false;
    }
    QAction* action = MakeAction(holder, flags & ~MF_BYPOSITION, idOrMenu, text, data);
    if (!action)
        return false;
    holder->insertAction(before, action);
    UpdateColumns(holder);
    return true;
}

bool ModifyMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrMenu, const QString& text,
    std::uintptr_t data)
{
    QMenu* holder = nullptr;
    QAction* old = ItemAt(menu, position, flags, &holder);
    if (!old)
        return false;
    const bool wasPopup = old->menu() != nullptr;
    const bool isPopup = flags & MF_POPUP;
    const bool sameKind = (wasPopup == isPopup) && (old->isSeparator() == bool(flags & MF_SEPARATOR))
        && (!isPopup || reinterpret_cast<QMenu*>(idOrMenu) == old->menu());
    if (sameKind) {
        ApplyItem(old, flags & ~MF_BYPOSITION, isPopup ? UINT(-1) : (flags & MF_SEPARATOR ? 0 : UINT(idOrMenu)),
            text, data);
    } else {
        QAction* action = MakeAction(holder, flags & ~MF_BYPOSITION, idOrMenu, text, data);
        if (!action)
            return false;
        holder->insertAction(old, action);
        holder->removeAction(old);
        if (old->parent() == holder)
            delete old;
    }
    UpdateColumns(holder);
    return true;
}

namespace {
    bool Remove(HMENU menu, UINT position, UINT flags, bool destroy)
    {
        QMenu* holder = nullptr;
        QAction* a = ItemAt(menu, position, flags, &holder);
        if (!a)
            return false;
        QMenu* sub = a->menu();
        holder->removeAction(a);
        if (!sub && a->parent() == holder)
            delete a;
        if (sub && destroy)
            DestroyMenu(sub);
        UpdateColumns(holder);
        return true;
    }
} // namespace

bool RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    return Remove(menu, position, flags, false);
}

bool DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    return Remove(menu, position, flags, true);
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags)
{
    QAction* a = ItemAt(menu, item, flags);
    if (!a)
        return UINT(-1);
    const UINT state = ActionState(a);
    const bool check = flags & MF_CHECKED;
    a->setProperty(kState, check ? (state | MF_CHECKED) : (state & ~MF_CHECKED));
    if (!a->isSeparator()) {
        a->setCheckable(check);
        a->setChecked(check);
    }
    return state & MF_CHECKED;
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags)
{
    QAction* a = ItemAt(menu, item, flags);
    if (!a)
        return UINT(-1);
    const UINT state = ActionState(a);
    const UINT off = flags & (MF_GRAYED | MF_DISABLED);
    a->setProperty(kState, (state & ~(MF_GRAYED | MF_DISABLED)) | off);
    a->setEnabled(off == 0);
    return state & (MF_GRAYED | MF_DISABLED);
}

bool SetMenuDefaultItem(HMENU menu, UINT item, bool byPosition)
{
    QAction* target = ItemAt(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!target)
        return false;
    for (QAction* a : menu->actions())
        a->setProperty(kState, ActionState(a) & ~MF_DEFAULT);
    target->setProperty(kState, ActionState(target) | MF_DEFAULT);
    return true;
}

int GetMenuDefaultItem(HMENU menu)
{
    if (!IsMenu(menu))
        return -1;
    const QList<QAction*> items = menu->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (ActionState(items[i]) & MF_DEFAULT)
            return i;
    }
    return -1;
}

int GetHilitePosition(HMENU menu)
{
    if (!IsMenu(menu))
        return -1;
    if (const MenuColumnPopup* shown = winmenu::ShownBy(menu))
        return shown->HilitePosition();
    if (!menu->activeAction())
        return -1;
    return int(menu->actions().indexOf(menu->activeAction()));
}

LRESULT MatchOwnerDrawnMenuChar(
    HMENU menu, UINT character, const std::function<const QString*(std::uintptr_t data)>& textOf)
{
    if (!IsMenu(menu))
        return 0;
    const QChar wanted = QChar(char16_t(character)).toUpper();
    std::vector<int> matches;
    const QList<QAction*> items = menu->actions();
    for (int pos = 0; pos < items.size(); ++pos) {
        if (!Owns(items[pos]))
            continue;
        const QString* text = textOf(std::uintptr_t(items[pos]->property(kData).toULongLong()));
        if (!text)
            continue;
        const int amp = int(text->indexOf(QLatin1Char('&')));
        if (amp >= 0 && amp + 1 < text->size() && (*text)[amp + 1].toUpper() == wanted)
            matches.push_back(pos);
    }
    if (matches.empty())
        return 0;
    if (matches.size() == 1)
        return MakeLResult(UINT(matches.front()), MNC_EXECUTE);
    const int current = GetHilitePosition(menu);
    for (int pos : matches) {
        if (pos > current)
            return MakeLResult(UINT(pos), MNC_SELECT);
    }
    return MakeLResult(UINT(matches.front()), MNC_SELECT);
}

QWidget* MenuOwner(HMENU menu)
{
    if (menu) {
        if (auto* owner = qobject_cast<QWidget*>(menu->property(kOwner).value<QObject*>()))
            return owner;
    }
    return TrackingOwner();
}

bool GetMenuItemRect(HMENU menu, UINT position, QRect* rect)
{
    QAction* a = ItemAt(menu, position, MF_BYPOSITION);
    if (!a || !rect)
        return false;
    if (const MenuColumnPopup* shown = winmenu::ShownBy(menu)) {
        const QRect r = shown->ItemRect(int(position));
        if (r.isNull())
            return false;
        *rect = r.translated(shown->mapToGlobal(QPoint(0, 0)));
        return true;
    }
    if (!menu->isVisible() || !a->isVisible())
        return false;
    *rect = menu->actionGeometry(a).translated(menu->mapToGlobal(QPoint(0, 0)));
    return true;
}

UINT TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, QWidget* owner, const QRect* exclude)
{
    if (!IsMenu(menu))
        return 0;
    QPointer<QMenu> guard(menu);
    QPointer<QWidget> previous = TrackingOwner();
    TrackingOwner() = owner;
    menu->setProperty(kRoot, true);
    SendMessage(owner, WM_ENTERMENULOOP, 1, 0);
    // A QMenu has no per-item column break: a menu that starts columns
    // anywhere in its tree is shown by the layer's own popup.
    std::unique_ptr<MenuColumnPopup> columns;
    QSize size;
    if (winmenu::HasColumnBreaks(menu, true)) {
        columns = std::make_unique<MenuColumnPopup>(menu);
        columns->Prepare();
        size = columns->sizeHint();
    } else {
        UpdateColumns(menu);
        menu->adjustSize();
        size = menu->sizeHint();
    }
    QPoint at(x, y);
    if (exclude && (flags & TPM_VERTICAL)) {
        const QScreen* screen = QGuiApplication::screenAt(at);
        const QRect avail = screen ? screen->availableGeometry() : QRect();
        if (avail.isValid() && at.y() + size.height() > avail.bottom())
            at.setY(exclude->top() - size.height());
    }
    QPointer<QAction> chosen = columns ? columns->Exec(at) : menu->exec(at);
    columns.reset();
    UINT id = 0;
    if (chosen && guard && !chosen->menu() && !chosen->isSeparator())
        id = chosen->property(kId).toUInt();
    SendMessage(owner, WM_EXITMENULOOP, 1, 0);
    TrackingOwner() = previous;
    if (flags & TPM_RETURNCMD)
        return id;
    if (id != 0)
        PostMessage(owner, WM_COMMAND, id, 0);
    return id != 0 ? 1 : 0;
}

void SetMenuDrawer(HMENU menu, CMenu* drawer)
{
    if (!IsMenu(menu))
        return;
    if (drawer)
        Drawers().insert(menu, drawer);
    else
        Drawers().remove(menu);
}

CMenu* MenuDrawer(HMENU menu)
{
    if (!menu)
        return nullptr;
    if (CMenu* attached = CMenu::FromHandlePermanent(menu))
        return attached;
    return Drawers().value(menu, nullptr);
}

// ---- CMenu.

CMenu::~CMenu()
{
    for (auto it = Drawers().begin(); it != Drawers().end();) {
        if (it.value() == this)
            it = Drawers().erase(it);
        else
            ++it;
    }
    if (m_hMenu)
        ulv::DestroyMenu(Detach());
}

bool CMenu::CreatePopupMenu()
{
    return Attach(ulv::CreatePopupMenu());
}

bool CMenu::Attach(HMENU menu)
{
    if (!menu || m_hMenu)
        return false;
    if (!IsMenu(menu))
        Prepare(menu, nullptr, false);
    m_hMenu = menu;
    PermanentMenus().insert(menu, this);
    return true;
}

HMENU CMenu::Detach()
{
    HMENU menu = m_hMenu;
    if (menu)
        PermanentMenus().remove(menu);
    m_hMenu = nullptr;
    return menu;
}

bool CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return false;
    HMENU menu = Detach();
    return ulv::DestroyMenu(menu);
}

CMenu* CMenu::FromHandlePermanent(HMENU menu)
{
    return menu ? PermanentMenus().value(menu, nullptr) : nullptr;
}

void CMenu::DrawItem(DRAWITEMSTRUCT*) { }

void CMenu::MeasureItem(MEASUREITEMSTRUCT*) { }

} // namespace ulv
