#pragma once

#include "ui/chrome/MenuImageList.h"
#include "ui/chrome/WinMenu.h"
#include "ui/controls/WinLook.h"

#include <QPointer>
#include <QToolBar>

#include <memory>

class QToolButton;

namespace ulv {

// A toolbar whose buttons come from a toolbar resource and whose hot, pressed
// and checked buttons are flat boxes: a one-pixel border round a fill.
class CFlatToolBarCtrl : public QToolBar {
    Q_OBJECT
public:
    explicit CFlatToolBarCtrl(QWidget* parent = nullptr);
    ~CFlatToolBarCtrl() override;

    // One button per entry (a separator for id 0), the pictures from the
    // bitmap of the same id; false when the resource is missing.
    bool LoadToolBar(int toolbarId);
    // Picture index of the button of an action; -1 for none.
    static int PictureIndex(const QAction* action);

    virtual void DrawButton(QPainter& p, const QRect& r, bool hot, bool checked, bool pressed);

    COLORREF m_crHotFill = 0xEED2C1;
    COLORREF m_crPressedFill = 0xEED2C1;
    COLORREF m_crCheckedFill = 0xEED2C1;
    COLORREF m_crBorder = 0xC56A31;

protected:
    MenuImageList m_pictures;
};

// A second menu bar: the top-level items of a menu as text buttons (with the
// icons of owner-drawn CMenuXP items), their popups dropped under the buttons,
// sliding between them with the mouse and Left and Right.
class CFlatMenuBarCtrl : public CFlatToolBarCtrl {
    Q_OBJECT
public:
    static constexpr UINT WM_FLATMENUBAR_TRACKPOPUP = 0x84D;

    explicit CFlatMenuBarCtrl(QWidget* parent = nullptr);
    ~CFlatMenuBarCtrl() override;

    // Takes the menu (deleting the one held so far); false for a null menu
    // (the old one stays) or a menu without items.
    bool SetMenu(CMenu* menu);
    CMenu* GetMenu() const { return m_menu.get(); }
    int ItemCount() const { return m_itemCount; }
    int HotIndex() const { return m_hotIndex; }
    bool IsTracking() const { return m_tracking; }
    void SetHotIndex(int index) { m_hotIndex = index; }

    void TrackPopup();
    // Opens the popup of the first item whose access key is the character.
    bool OpenMenuByKey(QChar key);
    QToolButton* Button(int index) const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QWidget* OwnerWindow() const;
    int ButtonAt(const QPoint& barPos) const;
    bool FilterMenuMessage(QMenu* popup, QEvent* event);
    void ReleaseHot();

    std::unique_ptr<CMenu> m_menu;
    int m_itemCount = 0;
    int m_hotIndex = -1;
    QPoint m_lastMouse { -1, -1 };
    bool m_tracking = false;
    MenuImageList m_icons;
    QPointer<QMenu> m_popup;
};

} // namespace ulv
