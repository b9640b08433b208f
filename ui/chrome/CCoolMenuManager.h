#pragma once

#include "ui/chrome/CSubclassWnd.h"
#include "ui/chrome/MenuImageList.h"
#include "ui/controls/CAccelText.h"

#include <QFont>
#include <QHash>
#include <QSize>

#include <cstdint>
#include <list>
#include <vector>

class QWidget;

namespace ulv {

// The data a converted item carries while its popup is open.
struct CoolMenuItem {
    static constexpr std::uint32_t kSignature = 0x3064696D; // "mid0"
    std::uint32_t signature = kSignature;
    QString text;
    UINT type = 0;
    int image = -1;
};

// Gives a frame window's popups the pictures of its toolbar buttons: while a
// popup is open its items are owner-drawn by this manager (picture in a
// button-sized square, text, accelerator right-aligned), and they turn back
// into plain items when the menu closes.
class CCoolMenuManager : public CSubclassWnd {
public:
    CCoolMenuManager();
    ~CCoolMenuManager() override;

    // The frame's default accelerator table (the window's own accelerators).
    static void SetDefaultAccelerators(QWidget* frame, const std::vector<ACCEL>& table);

    // Hooks the frame (null unhooks); the popups of its menu bar send their
    // messages to it.
    void Install(QWidget* frame);
    bool LoadToolbars(const int* ids, int count);
    bool LoadToolbar(int toolbarId);
    bool AddSingleBitmap(int bitmapId, int count, const UINT* ids);
    virtual void Destroy();
    virtual void Refresh();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void OnInitMenuPopup(HMENU menu, UINT index, bool sysMenu);
    virtual bool OnMeasureItem(MEASUREITEMSTRUCT* mis);
    virtual bool OnDrawItem(DRAWITEMSTRUCT* dis);
    virtual LRESULT OnMenuChar(UINT character, UINT flags, HMENU menu);
    virtual void OnMenuSelect(UINT id, UINT flags, HMENU menu);

    void MakeItemsOwnerDrawn(HMENU menu, bool skipSystem, bool makeOwnerDrawn);
    static QString MapAccelKeyName(const QString& keyText);
    bool AppendAccelText(QString& itemText, UINT id);
    QFont GetMenuFont();
    // Redraws the class library's radio check mark in place: a white square
    // with a black dot 4 pixels across at its centre.
    static void ReplaceRadioCheckBitmap();

    // Image index of a command; -1 when it has none.
    int ImageOf(UINT id) const { return m_commandImages.value(id, -1); }
    const MenuImageList& Images() const { return m_images; }
    QSize ImageSize() const { return m_imageSize; }
    QSize ButtonSize() const { return m_buttonSize; }
    const std::list<HMENU>& ConvertedMenus() const { return m_convertedMenus; }
    // The accelerator entry a command's chain starts at; -1 for none.
    int LastAccelerator(UINT id) const { return m_commandAccels.value(id, -1); }
    const std::vector<ACCEL>& AcceleratorCopy() const { return m_accelCopy; }

    bool m_bDrawImages = true;
    bool m_bAccelText = true;
    bool m_bDisabledByDrawState = false;
    bool m_bDisabledInColor = false;
    QWidget* m_pFrameWnd = nullptr;

private:
    void BuildAccelMap(const std::vector<ACCEL>* table);
    // bitmap null: the system's check mark.
    void DrawCheckBitmap(QPainter& p, const QRect& r, bool selected, const QImage* bitmap);

    std::vector<int> m_toolbarIds;
    MenuImageList m_images;
    QHash<UINT, int> m_commandImages;
    QHash<UINT, int> m_commandAccels;
    const void* m_hCachedAccel = nullptr;
    std::vector<ACCEL> m_accelCopy;
    std::list<HMENU> m_convertedMenus;
    QSize m_imageSize { 0, 0 };
    QSize m_buttonSize { 0, 0 };
    QFont m_menuFont;
    bool m_hasMenuFont = false;
};

} // namespace ulv
