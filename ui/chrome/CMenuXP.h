#pragma once

#include "ui/chrome/WinMenu.h"
#include "ui/controls/CAccelText.h"
#include "ui/controls/WinLook.h"

#include <QFont>
#include <QImage>

#include <cstdint>

namespace ulv {

// The data of one CMenuXP item.
struct CMenuXPItem {
    static constexpr std::uint32_t kSignature = 0x0505A0A0;
    std::uint32_t signature = kSignature;
    UINT id = 0;
    bool separator = false;
    bool sideBar = false;
    bool buttonOnly = false; // the item is just its icon square
    QString text;
    QImage icon; // null for none
    int size = 16; // icon size; a side bar's width
};

// A menu whose items are all owner-drawn from their CMenuXPItem, in one of
// three styles (0 classic raised buttons, 2 flat with a frame, others classic
// without button edges), with an optional side bar of a colour gradient and
// rotated text down the left of the popup.
class CMenuXP : public CMenu {
public:
    CMenuXP();
    ~CMenuXP() override;

    // Deletes the item data and the CMenuXP sub-menus.
    void Clear();
    bool AppendSideBar(CMenuXPItem* item);
    bool AppendODMenu(UINT flags, CMenuXPItem* item, const ACCEL* accel = nullptr);
    bool AppendSeparator();
    // The popup becomes this menu's (deleted by Clear).
    bool AppendODPopupMenu(UINT flags, CMenuXP* popup, CMenuXPItem* item);
    void Break() { m_bBreak = true; }
    void BreakBar() { m_bBreakBar = true; }
    CMenuXP* FindSubMenuFromID(UINT id);
    LRESULT OnMenuChar(UINT character, UINT flags, HMENU menu);

    void DrawItem(DRAWITEMSTRUCT* dis) override;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;

    // A bitmap of width x height filled with a gradient of count colours
    // (at most 256) from a to b: kind 0 bottom to top, 2 left to right,
    // 1 and 3 the two diagonals.
    static QImage CreateGradientBitmap(COLORREF a, COLORREF b, int width, int height, int kind, int count);
    // A disabled icon: its ink once in the highlight colour moved by (1, 1),
    // then in the shadow colour.
    static void DrawEmbossedIcon(QPainter& p, const QImage& icon, const QRect& r, bool colour);

    QFont m_itemFont;
    QFont m_menuFont;
    COLORREF m_crBackground;
    COLORREF m_crSelectedBackground;
    COLORREF m_crText;
    COLORREF m_crSelectedText;
    COLORREF m_crDisabledText;
    COLORREF m_crSideBarStart = 0xC00000;
    COLORREF m_crSideBarEnd = 0;
    COLORREF m_crIconArea;
    bool m_bBreak = false;
    bool m_bBreakBar = false;
    int m_nStyle = 0;

protected:
    virtual void DrawBackground(QPainter& p, const QRect& r, bool selected, bool disabled);
    virtual void DrawButton(QPainter& p, const QRect& r, bool selected, bool disabled, bool checked);
    virtual void DrawIcon(QPainter& p, const QRect& r, const QImage& icon, bool selected, bool disabled);
    virtual void DrawSideBar(QPainter& p, const QRect& r, const QImage& icon, const QString& text);
    virtual void DrawText(QPainter& p, const QRect& r, const QString& text, bool selected, bool disabled, bool bold);
    virtual void DrawCheckMark(QPainter& p, const QRect& r, bool selected);
    virtual void DrawMenuText(QPainter& p, const QRect& r, const QString& text, COLORREF colour);
    virtual void DrawIconArea(QPainter& p, const QRect& r, bool selected, bool disabled);

private:
    UINT TakeBreaks(UINT flags);
};

} // namespace ulv
