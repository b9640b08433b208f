#include "ui/controls/COwnerDrawMenu.h"

#include "ui/controls/WinLook.h"

#include <QPainter>

namespace ulv {

COwnerDrawMenu::~COwnerDrawMenu()
{
    // The popups belong to whoever made them; the sub-menu objects only
    // drew them.
    for (auto& sub : m_subMenus)
        sub->Detach();
    m_subMenus.clear();
    m_items.clear();
    DestroyMenu();
}

void COwnerDrawMenu::MakeOwnerDraw(HMENU popup)
{
    if (!IsMenu(popup))
        return;
    if (!MenuDrawer(popup)) {
        SetMenuDrawer(popup, this);
        m_drawn.push_back(popup);
    }
    const int count = ulv::GetMenuItemCount(popup);
    for (int pos = 0; pos < count; ++pos) {
        auto item = std::make_unique<COwnerDrawMenuItem>(ulv::GetMenuString(popup, UINT(pos), MF_BYPOSITION).left(256));
        const std::uintptr_t data = reinterpret_cast<std::uintptr_t>(item.get());
        const UINT state = ulv::GetMenuState(popup, UINT(pos), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        const UINT type = ulv::GetMenuItemType(popup, UINT(pos), MF_BYPOSITION) & MF_SEPARATOR;
        m_items.push_back(std::move(item));
        if (HMENU sub = ulv::GetSubMenu(popup, pos)) {
            // The sub-menu stays attached to its item.
            ulv::ModifyMenu(popup, UINT(pos), MF_BYPOSITION | MF_POPUP | MF_OWNERDRAW | state,
                reinterpret_cast<std::uintptr_t>(sub), QString(), data);
            auto object = std::make_unique<COwnerDrawMenu>();
            if (!CMenu::FromHandlePermanent(sub))
                object->Attach(sub);
            object->MakeOwnerDraw(sub);
            m_subMenus.push_back(std::move(object));
        } else {
            ulv::ModifyMenu(popup, UINT(pos), MF_BYPOSITION | MF_OWNERDRAW | type | state,
                ulv::GetMenuItemID(popup, pos), QString(), data);
        }
    }
}

void COwnerDrawMenu::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    const auto* item = mis ? reinterpret_cast<const COwnerDrawMenuItem*>(mis->itemData) : nullptr;
    if (!item)
        return;
    mis->itemHeight = kItemHeight;
    mis->itemWidth = 7 * int(item->Text().size());
}

void COwnerDrawMenu::DrawItem(DRAWITEMSTRUCT* dis)
{
    const auto* item = dis && dis->hDC ? reinterpret_cast<const COwnerDrawMenuItem*>(dis->itemData) : nullptr;
    if (!item)
        return;
    QPainter& p = *dis->hDC;
    const bool selected = (dis->itemState & ODS_SELECTED) && (dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT));
    FillSolidRect(p, dis->rcItem, selected ? kSelectedFill : kFill);
    p.save();
    p.setPen(Qt::black);
    p.drawText(dis->rcItem, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic, item->Text());
    p.restore();
}

} // namespace ulv
