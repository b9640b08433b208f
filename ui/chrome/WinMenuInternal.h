#pragma once

// What the menu layer's own popup widget shares with the QMenu path: the
// item records, the owner-draw routing and the menu messages. Not for use
// outside ui/chrome/WinMenu*.cpp and MenuColumnPopup.cpp.

#include "ui/chrome/WinMenu.h"

#include <QSize>

class QEvent;
class QStyle;

namespace ulv {

class MenuColumnPopup;

namespace winmenu {

    UINT ItemFlags(const QAction* action); // type bits
    UINT ItemState(const QAction* action); // state bits
    bool IsOwnerDrawn(const QAction* action);

    // The style that frames popups and paints items that are not owner-drawn.
    QStyle* Style();

    // The owner-drawn item's size as the popup lays it out (the owner's
    // WM_MEASUREITEM answer plus the platform's check-mark room).
    QSize MeasureOwnerDrawnItem(QMenu* menu, QAction* action);
    // Has the owner paint the item through WM_DRAWITEM, clipped to r.
    void PaintOwnerDrawnItem(QMenu* menu, QAction* action, QPainter* painter, const QRect& r, bool selected);

    // Width of the side bar column (a zero-height owner-drawn first item
    // followed by a column break); 0 when the menu has none.
    int SideBarWidth(QMenu* menu);
    // True when the menu, or with nested any popup below it, holds an item
    // that starts a column.
    bool HasColumnBreaks(QMenu* menu, bool nested);

    // The messages of a popup as it opens, as an item is highlighted and as
    // the tracked menu closes.
    void SendInitMenuPopup(QMenu* menu);
    void SendMenuSelect(QMenu* menu, QAction* action);
    void SendMenuClosed(QMenu* menu);
    // The owner's WM_MENUCHAR answer for a key no plain item takes.
    LRESULT AskMenuChar(QMenu* menu, QChar c);
    // The plain (not owner-drawn) visible item whose access key is c.
    QAction* PlainMnemonicItem(QMenu* menu, QChar c);

    // Lets the menu's event filters (a menu bar tracking its popups) see an
    // input event of the popup widget that shows the menu; true when one of
    // them took it. The menu itself never handles it.
    bool OfferToMenuFilters(QMenu* menu, QEvent* event);

    // The popup widget showing the menu now, if any.
    void SetShownBy(QMenu* menu, MenuColumnPopup* popup);
    MenuColumnPopup* ShownBy(QMenu* menu);

} // namespace winmenu
} // namespace ulv
