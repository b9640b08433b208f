#pragma once

#include "ui/chrome/WinMenu.h"
#include "ui/controls/WinLook.h"

#include <QString>

#include <memory>
#include <vector>

namespace ulv {

// The text an owner-drawn popup item carries.
class COwnerDrawMenuItem {
public:
    explicit COwnerDrawMenuItem(QString text)
        : m_text(std::move(text))
    {
    }
    virtual ~COwnerDrawMenuItem() = default;
    const QString& Text() const { return m_text; }

private:
    QString m_text;
};

// Turns an existing popup menu (and its sub-menus) into owner-drawn items in
// plain orange, blue when selected.
class COwnerDrawMenu : public CMenu {
public:
    static constexpr COLORREF kFill = 0x0096FF;
    static constexpr COLORREF kSelectedFill = 0xFF9600;
    static constexpr int kItemHeight = 23;

    COwnerDrawMenu() = default;
    ~COwnerDrawMenu() override;

    void MakeOwnerDraw(HMENU popup);

    void DrawItem(DRAWITEMSTRUCT* dis) override;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;

    std::size_t ItemCount() const { return m_items.size(); }
    std::size_t SubMenuCount() const { return m_subMenus.size(); }

private:
    std::vector<std::unique_ptr<COwnerDrawMenuItem>> m_items;
    std::vector<std::unique_ptr<COwnerDrawMenu>> m_subMenus;
    std::vector<HMENU> m_drawn;
};

} // namespace ulv
