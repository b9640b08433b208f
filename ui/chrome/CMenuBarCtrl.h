#pragma once

#include "ui/chrome/CToolBarImageSet.h"

#include <QMenuBar>
#include <functional>
#include <vector>

namespace ulv {

class ChromeStyle;
struct MenuItemResource;

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

Q_SIGNALS:
    // A command was chosen in one of the popups.
    void Command(unsigned id);

private:
    QAction* MakeAction(const MenuItemResource& item, QObject* owner);
    void PreparePopup(QMenu* popup);

    ActionProvider m_provider;
    CToolBarImageSet m_images;
    std::vector<unsigned> m_commandIds;
    ChromeStyle* m_style;
};

} // namespace ulv
