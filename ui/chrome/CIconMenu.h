#pragma once

#include "ui/chrome/MenuImageList.h"
#include "ui/chrome/WinMenu.h"
#include "ui/controls/WinLook.h"

#include <QFont>
#include <QHash>

#include <functional>
#include <memory>
#include <vector>

namespace ulv {

// Turns an ordinary popup menu into an owner-drawn one whose commands show the
// pictures of a toolbar beside their texts, in the system's menu colours and
// font, with etched separators and right-aligned accelerators.
class CIconMenu : public CMenu {
public:
    // Kind codes in a record's image field.
    static constexpr int kSubCaption = -2;
    static constexpr int kSeparator = -3;
    static constexpr int kFirstLevelCaption = -4;

    struct Record {
        int image = -1; // an image index, -1 for none, or a kind code
        UINT id = 0;
        QString text; // at most 128 characters
    };

    CIconMenu();
    ~CIconMenu() override;

    bool LoadToolbar(int toolbarId);
    bool AddToolbar(int toolbarId);
    void ConvertToOwnerDraw(HMENU menu);
    // Asks for each command's state (enabled, checked) before the menu is
    // tracked.
    using UpdateState = std::function<void(UINT id, bool& enabled, bool& checked)>;
    void UpdateItems(HMENU menu, const UpdateState& target);

    void DrawItem(DRAWITEMSTRUCT* dis) override;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;

    void SetCustomFont(const QFont& font)
    {
        m_customFont = font;
        m_hasCustomFont = true;
    }
    int ImageOf(UINT id) const { return m_imageMap.value(id, -1); }
    int ImageWidth() const { return m_imageWidth; }
    int ImageHeight() const { return m_imageHeight; }

private:
    bool AddImages(int toolbarId, bool create);
    QFont TextFont() const { return m_hasCustomFont ? m_customFont : m_menuFont; }
    Record* MakeRecord(int image, UINT id, const QString& text);

    QFont m_boldFont;
    QFont m_customFont;
    bool m_hasCustomFont = false;
    QFont m_menuFont;
    int m_imageWidth = 20;
    int m_imageHeight = 20;
    MenuImageList m_images;
    MenuImageList m_checkImages;
    std::vector<std::unique_ptr<Record>> m_records;
    QHash<UINT, int> m_imageMap;
    std::vector<HMENU> m_converted;
};

} // namespace ulv
