#pragma once

// The window-message and menu-handle layer the chrome's menu classes are
// written against: a menu handle is a QMenu, an item is one of its actions
// carrying the item's flags, command id and item data, and the messages a
// window gets while one of its menus is tracked (WM_INITMENUPOPUP,
// WM_MENUSELECT, WM_MENUCHAR, WM_MEASUREITEM, WM_DRAWITEM, WM_COMMAND) reach
// the owner widget as WinMessageEvent. Owner-drawn items are measured and
// painted by whoever answers WM_MEASUREITEM and WM_DRAWITEM; unanswered, the
// menu object attached to the handle (CMenu::FromHandlePermanent) does it.

#include <QEvent>
#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>

class QAction;
class QMenu;
class QPainter;
class QObject;
class QWidget;

namespace ulv {

using UINT = unsigned;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HMENU = QMenu*;

enum MenuFlags : UINT {
    MF_STRING = 0x0,
    MF_BYCOMMAND = 0x0,
    MF_ENABLED = 0x0,
    MF_UNCHECKED = 0x0,
    MF_GRAYED = 0x1,
    MF_DISABLED = 0x2,
    MF_BITMAP = 0x4,
    MF_CHECKED = 0x8,
    MF_POPUP = 0x10,
    MF_MENUBARBREAK = 0x20,
    MF_MENUBREAK = 0x40,
    MF_END = 0x80,
    MF_OWNERDRAW = 0x100,
    MF_BYPOSITION = 0x400,
    MF_SEPARATOR = 0x800,
    MF_DEFAULT = 0x1000,
    MF_SYSMENU = 0x2000,
    MF_HILITE = 0x80,
};

enum OwnerDrawState : UINT {
    ODS_SELECTED = 0x1,
    ODS_GRAYED = 0x2,
    ODS_DISABLED = 0x4,
    ODS_CHECKED = 0x8,
    ODS_FOCUS = 0x10,
    ODS_DEFAULT = 0x20,
};
enum OwnerDrawAction : UINT { ODA_DRAWENTIRE = 0x1, ODA_SELECT = 0x2, ODA_FOCUS = 0x4 };
constexpr UINT ODT_MENU = 1;

enum MenuCharResult : UINT { MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3 };

enum TrackFlags : UINT {
    TPM_LEFTALIGN = 0x0,
    TPM_TOPALIGN = 0x0,
    TPM_RIGHTBUTTON = 0x2,
    TPM_VERTICAL = 0x40,
    TPM_NONOTIFY = 0x80,
    TPM_RETURNCMD = 0x100,
};

enum WindowMessage : UINT {
    WM_NCDESTROY = 0x82,
    WM_CANCELMODE = 0x1F,
    WM_SYSCOLORCHANGE = 0x15,
    WM_WININICHANGE = 0x1A,
    WM_DRAWITEM = 0x2B,
    WM_MEASUREITEM = 0x2C,
    WM_KEYDOWN = 0x100,
    WM_COMMAND = 0x111,
    WM_INITMENUPOPUP = 0x117,
    WM_MENUSELECT = 0x11F,
    WM_MENUCHAR = 0x120,
    WM_MOUSEMOVE = 0x200,
    WM_LBUTTONDOWN = 0x201,
    WM_ENTERMENULOOP = 0x211,
    WM_EXITMENULOOP = 0x212,
    WM_USER = 0x400,
};

constexpr WPARAM MakeWParam(UINT low, UINT high) { return WPARAM((low & 0xFFFF) | ((high & 0xFFFF) << 16)); }
constexpr LRESULT MakeLResult(UINT low, UINT high) { return LRESULT((low & 0xFFFF) | ((high & 0xFFFF) << 16)); }
constexpr UINT LoWord(std::uintptr_t v) { return UINT(v & 0xFFFF); }
constexpr UINT HiWord(std::uintptr_t v) { return UINT((v >> 16) & 0xFFFF); }

struct MEASUREITEMSTRUCT {
    UINT CtlType = ODT_MENU;
    UINT CtlID = 0;
    UINT itemID = 0;
    int itemWidth = 0;
    int itemHeight = 0;
    std::uintptr_t itemData = 0;
};

struct DRAWITEMSTRUCT {
    UINT CtlType = ODT_MENU;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    HMENU hwndItem = nullptr;
    QPainter* hDC = nullptr;
    QRect rcItem;
    std::uintptr_t itemData = 0;
};

// A window message delivered to a widget. A widget that handles one sets the
// result and returns true from event(); one it leaves unhandled gets the
// default processing (DefWindowProc).
class WinMessageEvent : public QEvent {
public:
    WinMessageEvent(UINT message, WPARAM wParam, LPARAM lParam);
    static QEvent::Type EventType();

    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// Delivers a message to a window (event filters first) and returns its result.
LRESULT SendMessage(QObject* window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a message; it is delivered from the event loop.
void PostMessage(QObject* window, UINT message, WPARAM wParam, LPARAM lParam);
// The window's own procedure: its event() and, when that leaves the message
// alone, DefWindowProc.
LRESULT CallWindowProc(QObject* window, UINT message, WPARAM wParam, LPARAM lParam);
// Default processing: owner-drawn menu items are measured and drawn by the
// menu object attached to their menu; everything else answers 0.
LRESULT DefWindowProc(QObject* window, UINT message, WPARAM wParam, LPARAM lParam);

template <typename T> T* MessagePointer(std::intptr_t v) { return reinterpret_cast<T*>(v); }
inline LPARAM PointerParam(const void* p) { return LPARAM(reinterpret_cast<std::uintptr_t>(p)); }

// ---- Menu handles.

// A new, empty menu handle with the owner-draw plumbing; the caller owns it
// (DestroyMenu).
HMENU CreatePopupMenu();
// Gives a menu made elsewhere (a menu bar's popup) the owner-draw plumbing;
// its messages go to the owner window. Nested popups are adopted as they are
// added.
void AdoptMenu(HMENU menu, QWidget* owner);
// Deletes the handle and every popup it holds; false for null.
bool DestroyMenu(HMENU menu);
bool IsMenu(HMENU menu);

int GetMenuItemCount(HMENU menu); // -1 for null
// Command id of the item at a position; -1 (as UINT) for a popup or a
// position outside the menu, 0 for a separator.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
// The item's flags (state and type bits); -1 (as UINT) when there is none.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
QString GetMenuString(HMENU menu, UINT item, UINT flags);
std::uintptr_t GetMenuItemData(HMENU menu, UINT item, UINT flags);
bool SetMenuItemData(HMENU menu, UINT item, UINT flags, std::uintptr_t data);
// The item's type flags only (MF_OWNERDRAW, MF_SEPARATOR, MF_POPUP, breaks).
UINT GetMenuItemType(HMENU menu, UINT item, UINT flags);

// For MF_OWNERDRAW the item data is data, otherwise the item's string is text.
// With MF_POPUP, idOrMenu is the popup's handle.
bool AppendMenu(HMENU menu, UINT flags, std::uintptr_t idOrMenu, const QString& text, std::uintptr_t data = 0);
bool InsertMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrMenu, const QString& text,
    std::uintptr_t data = 0);
bool ModifyMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrMenu, const QString& text,
    std::uintptr_t data = 0);
// RemoveMenu keeps a popup's handle alive; DeleteMenu destroys it.
bool RemoveMenu(HMENU menu, UINT position, UINT flags);
bool DeleteMenu(HMENU menu, UINT position, UINT flags);
UINT CheckMenuItem(HMENU menu, UINT item, UINT flags);
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
bool SetMenuDefaultItem(HMENU menu, UINT item, bool byPosition);
// Position of the default item; -1 when none.
int GetMenuDefaultItem(HMENU menu);
// The position of the highlighted item of an open menu; -1 when none.
int GetHilitePosition(HMENU menu);

// A check-mark bitmap of an item. The menu layer never owns one: whoever
// made it keeps it alive while items use it.
using HBITMAP = QImage*;
// The item's own pictures for its unchecked and checked states (null: none;
// the system's check mark for a checked item); false when there is no item.
bool SetMenuItemBitmaps(HMENU menu, UINT item, UINT flags, HBITMAP unchecked, HBITMAP checked);
bool GetMenuItemCheckMarks(HMENU menu, UINT item, UINT flags, HBITMAP* unchecked, HBITMAP* checked);
// The class library's radio check mark: the checked picture the command
// update of a radio item gives it (SetRadioCheck). One per process, 13 x 13;
// a menu class may redraw it in place.
HBITMAP LibraryRadioCheckMark();
// Checks or unchecks the item as a radio item: the library's radio mark
// becomes its checked picture.
bool SetRadioCheck(HMENU menu, UINT item, UINT flags, bool on);

// The screen rectangle of the item at a position of a menu that is shown
// now; false when the menu is not shown or has no such item.
bool GetMenuItemRect(HMENU menu, UINT position, QRect* rect);

// The item's action (for tests and painters); null when there is none.
QAction* MenuItemAction(HMENU menu, UINT item, UINT flags);

// Shows the popup at (x, y) (screen coordinates) and tracks it modally; the
// owner gets the menu messages. A menu with column breaks anywhere in its
// tree is shown by the layer's own popup (MenuColumnPopup), any other as
// the QMenu itself. With TPM_RETURNCMD returns the chosen command
// (0 when none); otherwise WM_COMMAND is posted to the owner and the result is
// non-zero when a command was chosen. exclude, when given, is a screen
// rectangle the popup keeps clear of (with TPM_VERTICAL it opens above it when
// it does not fit below).
UINT TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, QWidget* owner, const QRect* exclude = nullptr);

// The WM_MENUCHAR answer for owner-drawn items whose text (given by textOf
// for an item's data; null for items of another owner) has the character
// after its first '&' (either case): one match executes it, several select
// the next one after the highlighted item (wrapping), none gives 0.
LRESULT MatchOwnerDrawnMenuChar(
    HMENU menu, UINT character, const std::function<const QString*(std::uintptr_t data)>& textOf);

// The owner of a menu's messages: the window it was adopted for, else the
// window tracking a popup now; null when none.
QWidget* MenuOwner(HMENU menu);

class CMenu;

// Has an object measure and draw a menu's owner-drawn items without being
// attached to the handle (a menu object that converts popups it does not
// own); null clears it. The menu object attached to a handle comes first.
void SetMenuDrawer(HMENU menu, CMenu* drawer);
// The object that measures and draws a menu's items: the attached one, else
// the drawer; null when none.
CMenu* MenuDrawer(HMENU menu);

// ---- The menu object (the class library's CMenu over a handle).

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }

    bool CreatePopupMenu();
    bool CreateMenu() { return CreatePopupMenu(); }
    // Attaches a handle (false when one is attached already or for null).
    bool Attach(HMENU menu);
    HMENU Detach();
    virtual bool DestroyMenu();
    // The object attached to a handle; null when none.
    static CMenu* FromHandlePermanent(HMENU menu);

    int GetMenuItemCount() const { return ulv::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ulv::GetMenuItemID(m_hMenu, position); }
    HMENU GetSubMenu(int position) const { return ulv::GetSubMenu(m_hMenu, position); }
    UINT GetMenuState(UINT item, UINT flags) const { return ulv::GetMenuState(m_hMenu, item, flags); }
    QString GetMenuString(UINT item, UINT flags) const { return ulv::GetMenuString(m_hMenu, item, flags); }
    bool AppendMenu(UINT flags, std::uintptr_t id, const QString& text, std::uintptr_t data = 0)
    {
        return ulv::AppendMenu(m_hMenu, flags, id, text, data);
    }
    bool InsertMenu(UINT position, UINT flags, std::uintptr_t id, const QString& text, std::uintptr_t data = 0)
    {
        return ulv::InsertMenu(m_hMenu, position, flags, id, text, data);
    }
    bool ModifyMenu(UINT position, UINT flags, std::uintptr_t id, const QString& text, std::uintptr_t data = 0)
    {
        return ulv::ModifyMenu(m_hMenu, position, flags, id, text, data);
    }
    bool RemoveMenu(UINT position, UINT flags) { return ulv::RemoveMenu(m_hMenu, position, flags); }
    bool DeleteMenu(UINT position, UINT flags) { return ulv::DeleteMenu(m_hMenu, position, flags); }
    UINT CheckMenuItem(UINT item, UINT flags) { return ulv::CheckMenuItem(m_hMenu, item, flags); }
    UINT EnableMenuItem(UINT item, UINT flags) { return ulv::EnableMenuItem(m_hMenu, item, flags); }

    virtual void DrawItem(DRAWITEMSTRUCT* dis);
    virtual void MeasureItem(MEASUREITEMSTRUCT* mis);
};

} // namespace ulv
