#include "ui/chrome/CMenuXP.h"

#include "ui/chrome/VTMenu.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ulv {

namespace {

    CMenuXPItem* XpData(std::uintptr_t data)
    {
        auto* item = reinterpret_cast<CMenuXPItem*>(data);
        return item && item->signature == CMenuXPItem::kSignature ? item : nullptr;
    }

    // Rounded a * b / c, as the platform's MulDiv.
    int MulDiv(int a, int b, int c)
    {
        if (c == 0)
            return -1;
        return int(std::llround(double(std::int64_t(a) * b) / c));
    }

} // namespace

CMenuXP::CMenuXP()
    : m_itemFont(LogFont(QStringLiteral("Arial Unicode MS"), -11, 500))
    , m_menuFont(SystemMenuFont())
    , m_crBackground(GetSysColor(COLOR_MENU))
    , m_crSelectedBackground(GetSysColor(COLOR_HIGHLIGHT))
    , m_crText(GetSysColor(COLOR_MENUTEXT))
    , m_crSelectedText(GetSysColor(COLOR_HIGHLIGHTTEXT))
    , m_crDisabledText(GetSysColor(COLOR_GRAYTEXT))
    , m_crIconArea(GetSysColor(COLOR_MENU))
{
}

CMenuXP::~CMenuXP()
{
    Clear();
    DestroyMenu();
}

void CMenuXP::Clear()
{
    if (!m_hMenu)
        return;
    const int count = GetMenuItemCount();
    for (int pos = 0; pos < count; ++pos) {
        if (GetMenuItemType(m_hMenu, UINT(pos), MF_BYPOSITION) & MF_OWNERDRAW) {
            if (CMenuXPItem* item = XpData(GetMenuItemData(m_hMenu, UINT(pos), MF_BYPOSITION))) {
                delete item;
                SetMenuItemData(m_hMenu, UINT(pos), MF_BYPOSITION, 0);
            }
        }
        if (HMENU sub = GetSubMenu(pos)) {
            if (auto* popup = dynamic_cast<CMenuXP*>(CMenu::FromHandlePermanent(sub))) {
                // The handle goes with its parent's.
                popup->Clear();
                popup->Detach();
                delete popup;
            }
        }
    }
}

UINT CMenuXP::TakeBreaks(UINT flags)
{
    flags |= MF_OWNERDRAW;
    if (m_bBreak)
        flags |= MF_MENUBREAK;
    if (m_bBreakBar)
        flags |= MF_MENUBARBREAK;
    m_bBreak = m_bBreakBar = false;
    return flags;
}

bool CMenuXP::AppendSideBar(CMenuXPItem* item)
{
    if (!item)
        return false;
    item->sideBar = true;
    const bool ok = AppendMenu(MF_OWNERDRAW, item->id, QString(), PointerParam(item));
    m_bBreak = true;
    m_bBreakBar = false;
    return ok;
}

bool CMenuXP::AppendODMenu(UINT flags, CMenuXPItem* item, const ACCEL* accel)
{
    if (!item)
        return false;
    flags = TakeBreaks(flags);
    if (accel) {
        QString keys;
        CAccelText(accel).GetKeyText(keys);
        if (!keys.isEmpty())
            item->text += QLatin1Char('\t') + keys;
    }
    return AppendMenu(flags, item->id, QString(), PointerParam(item));
}

bool CMenuXP::AppendSeparator()
{
    auto* item = new CMenuXPItem;
    item->separator = true;
    m_bBreak = m_bBreakBar = false;
    return AppendMenu(MF_OWNERDRAW | MF_SEPARATOR, 0, QString(), PointerParam(item));
}

bool CMenuXP::AppendODPopupMenu(UINT flags, CMenuXP* popup, CMenuXPItem* item)
{
    if (!popup || !popup->m_hMenu || !item)
        return false;
    flags = TakeBreaks(flags) | MF_POPUP;
    return AppendMenu(flags, reinterpret_cast<std::uintptr_t>(popup->m_hMenu), QString(), PointerParam(item));
}

CMenuXP* CMenuXP::FindSubMenuFromID(UINT id)
{
    const int count = GetMenuItemCount();
    for (int pos = 0; pos < count; ++pos) {
        if (!GetSubMenu(pos) && GetMenuItemID(pos) == id)
            return this;
    }
    for (int pos = 0; pos < count; ++pos) {
        if (auto* sub = dynamic_cast<CMenuXP*>(CMenu::FromHandlePermanent(GetSubMenu(pos)))) {
            if (CMenuXP* found = sub->FindSubMenuFromID(id))
                return found;
        }
    }
    return nullptr;
}

LRESULT CMenuXP::OnMenuChar(UINT character, UINT, HMENU menu)
{
    return MatchOwnerDrawnMenuChar(menu, character, [](std::uintptr_t data) -> const QString* {
        CMenuXPItem* item = XpData(data);
        return item ? &item->text : nullptr;
    });
}

void CMenuXP::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    CMenuXPItem* item = mis && mis->CtlType == ODT_MENU ? XpData(mis->itemData) : nullptr;
    if (!item)
        return;
    if (item->sideBar) {
        mis->itemWidth = item->size;
        mis->itemHeight = 0;
    } else if (item->separator) {
        mis->itemHeight = GetSystemMetrics(SM_CYMENUCHECK) / 2;
        mis->itemWidth = 0;
    } else {
        const QFontMetrics fm(m_menuFont);
        const QSize text = fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs, item->text);
        mis->itemHeight = std::max(item->size + 4, text.height());
        mis->itemWidth = item->buttonOnly ? mis->itemHeight : 2 * item->size + text.width() + 12;
    }
    mis->itemWidth += 1 - GetSystemMetrics(SM_CXMENUCHECK);
}

void CMenuXP::DrawItem(DRAWITEMSTRUCT* dis)
{
    CMenuXPItem* item = dis && dis->CtlType == ODT_MENU && dis->hDC ? XpData(dis->itemData) : nullptr;
    if (!item)
        return;
    QPainter& p = *dis->hDC;
    const QRect r = dis->rcItem;
    if (item->sideBar) {
        DrawSideBar(p, r, item->icon, item->text);
        return;
    }
    if (item->separator) {
        DrawBackground(p, r, false, false);
        DrawEdge(p, QRect(r.left(), r.top() + r.height() / 2, r.width(), r.height() - r.height() / 2), EDGE_ETCHED,
            BF_TOP);
        if (m_nStyle == 2)
            DrawIconArea(p, QRect(r.left(), r.top(), item->size + 4, item->size + 4), false, false);
        return;
    }
    const bool selected = dis->itemState & ODS_SELECTED;
    const bool disabled = dis->itemState & (ODS_GRAYED | ODS_DISABLED);
    const bool checked = dis->itemState & ODS_CHECKED;
    DrawBackground(p, r, selected, disabled);
    const QRect square = item->buttonOnly ? r : QRect(r.left(), r.top(), r.height(), r.height());
    if (m_nStyle == 2)
        DrawIconArea(p, square, selected, disabled);
    if (!item->icon.isNull() || checked) {
        DrawButton(p, square, selected, disabled, checked);
        const QRect inner = square.adjusted(2, 2, -2, -2);
        if (!item->icon.isNull())
            DrawIcon(p, inner, item->icon, selected, disabled);
        else
            DrawCheckMark(p, inner, selected);
    }
    if (!item->buttonOnly) {
        const QRect text(QPoint(square.right() + 1 + 2, r.top()), QPoint(r.right() - item->size, r.bottom()));
        DrawText(p, text, item->text, selected, disabled, dis->itemState & ODS_DEFAULT);
    }
}

void CMenuXP::DrawBackground(QPainter& p, const QRect& r, bool selected, bool disabled)
{
    if (!selected || (disabled && m_nStyle == 2)) {
        FillSolidRect(p, r, m_crBackground);
        return;
    }
    FillSolidRect(p, r, m_crSelectedBackground);
    if (m_nStyle == 2 && !disabled)
        Draw3dRect(p, r, 0, 0);
}

void CMenuXP::DrawButton(QPainter& p, const QRect& r, bool selected, bool disabled, bool checked)
{
    if (m_nStyle == 0) {
        const COLORREF bg = m_crBackground;
        FillSolidRect(p, r, checked && !selected ? Rgb(std::min(255, GetRValue(bg) + 2), std::min(255, GetGValue(bg) + 2),
                                                       std::min(255, GetBValue(bg) + 2))
                                                 : bg);
        if (!disabled && (selected || checked))
            DrawEdge(p, r, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
    } else if (m_nStyle == 2) {
        if (checked && !disabled && !selected)
            DrawBackground(p, r, true, false);
    }
}

void CMenuXP::DrawIconArea(QPainter& p, const QRect& r, bool selected, bool disabled)
{
    if (m_nStyle == 2 && (!selected || disabled))
        FillSolidRect(p, r, m_crIconArea);
}

void CMenuXP::DrawIcon(QPainter& p, const QRect& r, const QImage& icon, bool, bool disabled)
{
    if (disabled)
        DrawEmbossedIcon(p, icon, r, false);
    else
        p.drawImage(r, icon);
}

void CMenuXP::DrawCheckMark(QPainter& p, const QRect& r, bool)
{
    VTMenu::DrawCheckGlyph(p, r.left() + (r.width() - 7) / 2, r.top() + (r.height() - 7) / 2,
        GetSysColor(COLOR_MENUTEXT));
}

void CMenuXP::DrawText(QPainter& p, const QRect& r, const QString& text, bool selected, bool disabled, bool bold)
{
    p.save();
    QFont font = m_itemFont;
    if (bold) {
        font = m_menuFont;
        font.setWeight(QFont::Bold);
    }
    p.setFont(font);
    if (disabled) {
        if (!(selected && m_nStyle != 2))
            DrawMenuText(p, r.translated(1, 1), text, m_crSelectedText);
        DrawMenuText(p, r, text, m_crDisabledText);
    } else {
        DrawMenuText(p, r, text, selected ? m_crSelectedText : m_crText);
    }
    p.restore();
}

void CMenuXP::DrawMenuText(QPainter& p, const QRect& r, const QString& text, COLORREF colour)
{
    p.setPen(ColorRefToQColor(colour));
    const int tab = int(text.indexOf(QLatin1Char('\t')));
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    p.drawText(r, flags | Qt::AlignLeft, tab < 0 ? text : text.left(tab));
    if (tab > 0)
        p.drawText(r, flags | Qt::AlignRight, text.mid(tab + 1));
}

void CMenuXP::DrawSideBar(QPainter& p, const QRect& r, const QImage&, const QString& text)
{
    const QImage gradient = CreateGradientBitmap(m_crSideBarStart, m_crSideBarEnd, r.width() + 3, r.height(), 0, 256);
    p.drawImage(r.topLeft(), gradient);
    p.save();
    QFont font = LogFont(QStringLiteral("Arial"), 16, 700);
    p.setFont(font);
    p.setPen(Qt::white);
    p.translate(r.left() + 2, r.bottom() - 4);
    p.rotate(-90);
    p.drawText(QRect(0, 0, r.height(), 16), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();
}

QImage CMenuXP::CreateGradientBitmap(COLORREF a, COLORREF b, int width, int height, int kind, int count)
{
    if (width <= 0 || height <= 0)
        return {};
    count = std::clamp(count, 1, 256);
    std::vector<QRgb> table(std::size_t(count), ColorRefToRgb(a));
    for (int i = 0; count > 1 && i < count; ++i) {
        const int r = GetRValue(a) + MulDiv(GetRValue(b) - GetRValue(a), i, count - 1);
        const int g = GetGValue(a) + MulDiv(GetGValue(b) - GetGValue(a), i, count - 1);
        const int bl = GetBValue(a) + MulDiv(GetBValue(b) - GetBValue(a), i, count - 1);
        table[std::size_t(i)] = qRgb(r, g, bl);
    }
    // Every pixel gets a colour: the kind is held to 0..3 and an entry that
    // rounds past either end of the table takes that end.
    kind = std::clamp(kind, 0, 3);
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(height - 1 - y)); // rows counted from the bottom
        for (int x = 0; x < width; ++x) {
            int entry = 0;
            switch (kind) {
            case 0:
                entry = MulDiv(count, y, height);
                break;
            case 2:
                entry = MulDiv(count, x, width);
                break;
            case 1:
                entry = MulDiv(count / 2, y, height) + MulDiv(count / 2 - 1, x, width);
                break;
            default:
                entry = count / 2 - 1 + MulDiv(count / 2, y, height) + MulDiv(1 - count / 2, x, width);
                break;
            }
            line[x] = table[std::size_t(std::clamp(entry, 0, count - 1))];
        }
    }
    return out;
}

void CMenuXP::DrawEmbossedIcon(QPainter& p, const QImage& icon, const QRect& r, bool)
{
    // Drawn on white at the rectangle's size; its ink is what is not white.
    QImage onWhite(r.size(), QImage::Format_ARGB32);
    onWhite.fill(Qt::white);
    {
        QPainter ip(&onWhite);
        ip.drawImage(QRect(QPoint(0, 0), r.size()), icon);
    }
    DrawDisabledImage(p, r.topLeft(), onWhite);
}

} // namespace ulv
