#pragma once

#include "ui/chrome/CToolBarImageSet.h"

#include <QMenuBar>
#include <QPointer>
#include <functional>
#include <vector>

namespace ulv {

class ChromeStyle;
struct MenuItemResource;
struct MenuPopupResource;

// The menu bar of the command rebar: one flat button per top-level popup, the
// popups' items drawn light and flat with a picture column, pictures of the
// commands that have one. Qt's menu bar gives the tracking: sliding between
// popups with the mouse, Left and Right between popups, access keys.
class CMenuBarCtrl : public QMenuBar {
    Q_OBJECT
public:
    // Gives the action for a menu item; the item's command id is the action's
    // data. Without a provider the bar makes its own actions.
    using ActionProvider = std::function<QAction*(unsigned id, const QString& text)>;

    explicit CMenuBarCtrl(QWidget* parent = nullptr);
    ~CMenuBarCtrl() override;

    void SetActionProvider(ActionProvider provider) { m_provider = std::move(provider); }

    // Builds the popups of a menu; false when there is no such menu.
    bool LoadMenu(int menuId, int trueColor);
    // Takes the pictures of a toolbar description for the popup items.
    void LoadMenuImages(int toolbarId);

    // The loaded menu's popups, in top-level order.
    std::vector<QMenu*> GetMenu() const;
    // The loaded menu (its popups); empty when none is loaded.
    std::vector<QMenu*> GetMenuHandle() const { return GetMenu(); }
    // Shows a menu the caller made: the current popups leave the bar without
    // being destroyed, the given ones take their place with the bar's look.
    void LoadMenuFromHandle(const std::vector<QMenu*>& popups);
    // Opens the popup whose access key is the character (either case) with its
    // first item selected; false when no top-level item has that key.
    bool OpenMenuByKey(QChar key);

    // Picture index of a command id in the popup pictures; -1 for none.
    int PictureIndex(unsigned id) const;
    const CToolBarImageSet& Images() const { return m_images; }
    ChromeStyle* Style() const { return m_style; }

    // Gives a nested popup the bar's look (its commands reach Command through
    // the top-level popup that holds it).
    void AdoptSubMenu(QMenu* popup) const;

    // Puts an item into a popup at a position (appends past the end).
    static void InsertItem(QMenu* popup, int position, QAction* action);

    // Frame messages the frame may feed the bar: Alt shows and hides the
    // underlines, activation, settings, the keyboard menu and menu
    // characters. False when the message was handled here.
    bool ProcessFrameMessage(unsigned message, quintptr wParam, qintptr lParam);
    // A lone Alt (key 0) makes the first button hot; the system menu (' ')
    // leaves the bar. True when the key was taken.
    bool OnSysKeyMenu(int key);
    void SetActive(bool active);
    bool IsActive() const { return m_bActive; }
    // Keyboard cues are on here: the underlines can be switched on, never off.
    void SetUnderlines(bool on);
    bool UnderlinesShown() const { return m_bUnderlines; }
    // The hot button; below 0 gives the focus back to where it was.
    void SetHotItem(int index);
    int HotItem() const { return m_hotItem; }

    // A second menu whose popups can be shown anywhere; false when there is
    // no such menu.
    bool LoadContextMenu(int menuId);
    // Shows popup `position` of the context menu (of the main menu without
    // one) at a screen point; null for a position that does not exist.
    QMenu* TrackContextPopup(int position, int x, int y);
    // The same for the first top-level item whose text is exactly `text`.
    QMenu* TrackContextPopupByText(const QString& text, int x, int y);
    bool IsContextInUse() const { return m_bContextInUse; }

Q_SIGNALS:
    // A command was chosen in one of the popups.
    void Command(unsigned id);

private:
    QAction* MakeAction(const MenuItemResource& item, QObject* owner);
    void PreparePopup(QMenu* popup);
    void FillPopup(QMenu* popup, const MenuPopupResource& popupRes);

    ActionProvider m_provider;
    bool m_bActive = true;
    bool m_bUnderlines = false;
    int m_hotItem = -1;
    QPointer<QWidget> m_prevFocus;
    std::vector<QMenu*> m_context;
    bool m_bContextInUse = false;
    CToolBarImageSet m_images;
    std::vector<unsigned> m_commandIds;
    ChromeStyle* m_style;
};

} // namespace ulv
