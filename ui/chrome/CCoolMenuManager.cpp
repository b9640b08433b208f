#include "ui/chrome/CCoolMenuManager.h"

#include "ui/chrome/MenuResources.h"
#include "ui/chrome/VTMenu.h"
#include "ui/controls/WinLook.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace ulv {

namespace {

    QHash<QWidget*, std::vector<ACCEL>>& FrameAccelerators()
    {
        static QHash<QWidget*, std::vector<ACCEL>> map;
        return map;
    }

    CoolMenuItem* CoolData(std::uintptr_t data)
    {
        auto* item = reinterpret_cast<CoolMenuItem*>(data);
        return item && item->signature == CoolMenuItem::kSignature ? item : nullptr;
    }

    // The text before the first tab at the left, the text after it at the
    // right, each on one vertically centred line.
    void MenuItemTextOut(QPainter& p, const QRect& r, const QString& text)
    {
        const int tab = int(text.indexOf(QLatin1Char('\t')));
        const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
        p.drawText(r, flags | Qt::AlignLeft, tab < 0 ? text : text.left(tab));
        if (tab > 0)
            p.drawText(r, flags | Qt::AlignRight, text.mid(tab + 1));
    }

    QImage LoadMappedBitmap(int id)
    {
        QImage bitmap = VTMenu::LoadSysColorBitmap16(id);
        return bitmap.isNull() ? LoadBitmapResource(id) : bitmap;
    }

} // namespace

CCoolMenuManager::CCoolMenuManager()
{
    ReplaceRadioCheckBitmap();
}

void CCoolMenuManager::ReplaceRadioCheckBitmap()
{
    HMENU temp = CreatePopupMenu();
    AppendMenu(temp, MF_STRING, 1, QStringLiteral("radio"));
    SetRadioCheck(temp, 1, MF_BYCOMMAND, true);
    HBITMAP mark = nullptr;
    GetMenuItemCheckMarks(temp, 1, MF_BYCOMMAND, nullptr, &mark);
    DestroyMenu(temp);
    if (!mark || mark->isNull())
        return;
    mark->fill(Qt::white);
    QPainter p(mark);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRect(mark->width() / 2 - 2, mark->height() / 2 - 2, 4, 4));
}

CCoolMenuManager::~CCoolMenuManager()
{
    for (HMENU menu : m_convertedMenus) {
        if (IsMenu(menu))
            MakeItemsOwnerDrawn(menu, false, false);
    }
    m_convertedMenus.clear();
    CCoolMenuManager::Destroy();
}

void CCoolMenuManager::SetDefaultAccelerators(QWidget* frame, const std::vector<ACCEL>& table)
{
    FrameAccelerators()[frame] = table;
}

void CCoolMenuManager::Install(QWidget* frame)
{
    m_pFrameWnd = frame;
    HookWindow(frame);
    if (!frame)
        return;
    for (QMenuBar* bar : frame->findChildren<QMenuBar*>()) {
        for (QAction* a : bar->actions()) {
            if (a->menu())
                AdoptMenu(a->menu(), frame);
        }
    }
}

bool CCoolMenuManager::LoadToolbars(const int* ids, int count)
{
    bool all = true;
    for (int i = 0; i < count; ++i)
        all = LoadToolbar(ids[i]) && all;
    return all;
}

bool CCoolMenuManager::LoadToolbar(int toolbarId)
{
    const QImage bitmap = LoadMappedBitmap(toolbarId);
    const ToolBarResource* toolbar = FindToolBar(toolbarId);
    if (bitmap.isNull() || !toolbar)
        return false;
    const QSize size(toolbar->imageWidth, toolbar->imageHeight);
    if (!m_images.IsCreated()) {
        m_imageSize = size;
        m_buttonSize = size + QSize(4, 4);
        m_images.Create(size.width(), size.height());
    } else if (size != m_imageSize) {
        return false;
    }
    const int first = m_images.AddMasked(bitmap, SysRgb(COLOR_BTNFACE));
    if (first < 0)
        return false;
    int image = first;
    for (unsigned id : toolbar->ids) {
        if (id == 0)
            continue;
        if (m_commandImages.value(id, -1) < 0)
            m_commandImages.insert(id, image);
        ++image;
    }
    m_toolbarIds.push_back(toolbarId);
    return true;
}

bool CCoolMenuManager::AddSingleBitmap(int bitmapId, int count, const UINT* ids)
{
    const QImage bitmap = LoadMappedBitmap(bitmapId);
    if (bitmap.isNull())
        return false;
    if (!m_images.IsCreated()) {
        m_imageSize = QSize(16, 15);
        m_buttonSize = QSize(20, 19);
        m_images.Create(16, 15);
    }
    int image = m_images.AddMasked(bitmap, SysRgb(COLOR_BTNFACE));
    for (int i = 0; i < count && image >= 0; ++i) {
        if (ids[i] == 0)
            continue;
        if (m_commandImages.value(ids[i], -1) < 0)
            m_commandImages.insert(ids[i], image);
        ++image;
    }
    return true;
}

void CCoolMenuManager::Destroy()
{
    m_images = MenuImageList();
    m_commandImages.clear();
    m_imageSize = m_buttonSize = QSize(0, 0);
    m_toolbarIds.clear();
    m_hasMenuFont = false;
    m_commandAccels.clear();
    m_accelCopy.clear();
}

void CCoolMenuManager::Refresh()
{
    const std::vector<int> ids = m_toolbarIds;
    Destroy();
    for (int id : ids)
        LoadToolbar(id);
}

QFont CCoolMenuManager::GetMenuFont()
{
    if (!m_hasMenuFont) {
        m_menuFont = SystemMenuFont();
        m_hasMenuFont = true;
    }
    return m_menuFont;
}

LRESULT CCoolMenuManager::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
        Refresh();
        break;
    case WM_DRAWITEM:
        if (OnDrawItem(MessagePointer<DRAWITEMSTRUCT>(lParam)))
            return 1;
        break;
    case WM_MEASUREITEM:
        if (OnMeasureItem(MessagePointer<MEASUREITEMSTRUCT>(lParam)))
            return 1;
        break;
    case WM_INITMENUPOPUP: {
        CSubclassWnd::WindowProc(message, wParam, lParam);
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LoWord(std::uintptr_t(lParam)), HiWord(std::uintptr_t(lParam)));
        return 0;
    }
    case WM_MENUSELECT:
        OnMenuSelect(LoWord(wParam), HiWord(wParam), MessagePointer<QMenu>(lParam));
        break;
    case WM_MENUCHAR: {
        const LRESULT r = OnMenuChar(LoWord(wParam), HiWord(wParam), MessagePointer<QMenu>(lParam));
        if (r != 0)
            return r;
        break;
    }
    default:
        break;
    }
    return CSubclassWnd::WindowProc(message, wParam, lParam);
}

void CCoolMenuManager::BuildAccelMap(const std::vector<ACCEL>* table)
{
    m_commandAccels.clear();
    m_accelCopy.clear();
    if (!table || table->empty())
        return;
    m_accelCopy = *table;
    for (int i = 0; i < int(m_accelCopy.size()); ++i) {
        const UINT cmd = m_accelCopy[std::size_t(i)].cmd;
        const int previous = m_commandAccels.value(cmd, -1);
        m_commandAccels.insert(cmd, i);
        // Each command's entries chain back from its last one.
        m_accelCopy[std::size_t(i)].cmd = std::uint16_t(previous < 0 ? 0 : i - previous);
    }
}

void CCoolMenuManager::OnInitMenuPopup(HMENU menu, UINT, bool sysMenu)
{
    if (m_bAccelText && m_pFrameWnd) {
        const auto it = FrameAccelerators().constFind(m_pFrameWnd);
        if (it != FrameAccelerators().constEnd() && &*it != m_hCachedAccel) {
            BuildAccelMap(&*it);
            sysMenu = true;
        }
    }
    MakeItemsOwnerDrawn(menu, sysMenu, m_bDrawImages);
}

void CCoolMenuManager::MakeItemsOwnerDrawn(HMENU menu, bool skipSystem, bool makeOwnerDrawn)
{
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        const UINT id = GetMenuItemID(menu, pos);
        const UINT type = GetMenuItemType(menu, UINT(pos), MF_BYPOSITION);
        const UINT state = GetMenuState(menu, UINT(pos), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
        const std::uintptr_t data = GetMenuItemData(menu, UINT(pos), MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, pos);
        CoolMenuItem* item = CoolData(data);
        if (data && !item)
            continue; // another owner's item
        if (skipSystem && !sub && id >= 0xF000 && id <= 0xFFFF)
            continue;
        const std::uintptr_t idOrMenu = sub ? reinterpret_cast<std::uintptr_t>(sub) : id;
        if (makeOwnerDrawn) {
            if (type & MF_OWNERDRAW)
                continue;
            if (!item) {
                item = new CoolMenuItem;
                item->type = type | MF_OWNERDRAW;
                item->image = sub ? -1 : ImageOf(id);
            }
            item->text = GetMenuString(menu, UINT(pos), MF_BYPOSITION);
            ModifyMenu(menu, UINT(pos), MF_BYPOSITION | type | MF_OWNERDRAW | state, idOrMenu, QString(),
                PointerParam(item));
            if (std::find(m_convertedMenus.begin(), m_convertedMenus.end(), menu) == m_convertedMenus.end())
                m_convertedMenus.push_front(menu);
        } else if (item && (type & MF_OWNERDRAW)) {
            const QString text = item->text;
            delete item;
            ModifyMenu(menu, UINT(pos), MF_BYPOSITION | (type & ~UINT(MF_OWNERDRAW)) | state, idOrMenu, text, 0);
        }
    }
}

bool CCoolMenuManager::OnMeasureItem(MEASUREITEMSTRUCT* mis)
{
    if (!mis || mis->CtlType != ODT_MENU)
        return false;
    CoolMenuItem* item = CoolData(mis->itemData);
    if (!item)
        return false;
    if (item->type & MF_SEPARATOR) {
        mis->itemHeight = GetSystemMetrics(SM_CYMENU) / 2;
        mis->itemWidth = 0;
        return true;
    }
    const QFontMetrics fm(GetMenuFont());
    const QSize text = fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs, item->text);
    mis->itemHeight = std::max(text.height(), GetSystemMetrics(SM_CYMENU));
    mis->itemWidth = 2 * m_buttonSize.width() + text.width() + 4 - GetSystemMetrics(SM_CXMENUCHECK);
    return true;
}

void CCoolMenuManager::DrawCheckBitmap(QPainter& p, const QRect& r, bool selected, const QImage* bitmap)
{
    const COLORREF background = GetSysColor(selected ? COLOR_MENU : COLOR_3DLIGHT);
    // The system check mark is a 13 x 13 glyph box.
    const QSize bm = bitmap && !bitmap->isNull() ? bitmap->size() : QSize(13, 13);
    const int w = std::min(bm.width(), r.width());
    QRect box(QPoint(r.left() + std::max(0, (r.width() - bm.width()) / 2), r.top() + (r.height() - bm.height()) / 2),
        QSize(w, bm.height()));
    FillSolidRect(p, box, background);
    if (bitmap && !bitmap->isNull()) {
        // A two-colour picture: its white is the background, the rest ink.
        // A picture wider than the square shows its centre part.
        const int sx = (bm.width() - w) / 2;
        QImage ink = bitmap->copy(sx, 0, w, bm.height()).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < ink.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(ink.scanLine(y));
            for (int x = 0; x < ink.width(); ++x) {
                if (qAlpha(line[x]) < 128 || (line[x] | 0xFF000000u) == 0xFFFFFFFFu)
                    line[x] = 0;
            }
        }
        p.drawImage(box.topLeft(), ink);
    } else {
        VTMenu::DrawCheckGlyph(p, box.left() + 3, box.top() + 3, GetSysColor(COLOR_MENUTEXT));
    }
    if (bm.width() < r.width())
        box.adjust(-1, -1, 1, 1);
    DrawEdge(p, box, BDR_SUNKENOUTER);
}

bool CCoolMenuManager::OnDrawItem(DRAWITEMSTRUCT* dis)
{
    if (!dis || dis->CtlType != ODT_MENU || !dis->hDC)
        return false;
    CoolMenuItem* item = CoolData(dis->itemData);
    if (!item)
        return false;
    QPainter& p = *dis->hDC;
    const QRect r = dis->rcItem;
    if (item->type & MF_SEPARATOR) {
        DrawEdge(p, QRect(r.left(), r.top() + r.height() / 2, r.width(), r.height() - r.height() / 2), EDGE_ETCHED,
            BF_TOP);
        return true;
    }
    const bool disabled = dis->itemState & ODS_GRAYED;
    const bool selected = dis->itemState & ODS_SELECTED;
    const bool checked = dis->itemState & ODS_CHECKED;
    const QRect button(r.left(), r.top() + (r.height() - m_buttonSize.height()) / 2, m_buttonSize.width(),
        m_buttonSize.height());
    bool drewButton = false;
    if (item->image >= 0 && item->image < m_images.Count()) {
        const QPoint at = button.topLeft() + QPoint(2, 2);
        if (disabled) {
            // The embossed copy and the system's disabled-state drawing come
            // out alike here.
            DrawDisabledImage(p, at, m_images.Image(item->image));
        } else {
            FillSolidRect(p, button, GetSysColor(checked && !selected ? COLOR_3DLIGHT : COLOR_MENU));
            if (checked)
                DrawEdge(p, button, BDR_SUNKENOUTER);
            else if (selected)
                DrawEdge(p, button, BDR_RAISEDINNER);
            m_images.Draw(p, item->image, at.x(), at.y());
        }
        drewButton = true;
    } else {
        HBITMAP unchecked = nullptr, checkedMark = nullptr;
        GetMenuItemCheckMarks(dis->hwndItem, dis->itemID, MF_BYCOMMAND, &unchecked, &checkedMark);
        if (checked || unchecked) {
            DrawCheckBitmap(p, button, selected, checked ? checkedMark : unchecked);
            drewButton = true;
        }
    }
    if (selected || (dis->itemAction & ODA_SELECT)) {
        const int from = drewButton ? button.right() + 2 : r.left();
        FillSolidRect(p, QRect(from, r.top(), r.right() + 1 - from, r.height()),
            GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    }
    const QRect text(r.left() + m_buttonSize.width() + 2, r.top(),
        r.width() - 2 * m_buttonSize.width() - 2, r.height());
    const COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    const COLORREF colour
        = GetSysColor(disabled ? COLOR_GRAYTEXT : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    p.save();
    p.setFont(GetMenuFont());
    if (disabled && (!selected || colour == background)) {
        p.setPen(ColorRefToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
        MenuItemTextOut(p, text.translated(1, 1), item->text);
    }
    p.setPen(ColorRefToQColor(colour));
    MenuItemTextOut(p, text, item->text);
    p.restore();
    return true;
}

LRESULT CCoolMenuManager::OnMenuChar(UINT character, UINT, HMENU menu)
{
    return MatchOwnerDrawnMenuChar(menu, character, [](std::uintptr_t data) -> const QString* {
        CoolMenuItem* item = CoolData(data);
        return item ? &item->text : nullptr;
    });
}

void CCoolMenuManager::OnMenuSelect(UINT, UINT flags, HMENU menu)
{
    if (menu || flags != 0xFFFF)
        return;
    for (HMENU converted : m_convertedMenus) {
        if (IsMenu(converted))
            MakeItemsOwnerDrawn(converted, false, false);
    }
    m_convertedMenus.clear();
}

QString CCoolMenuManager::MapAccelKeyName(const QString& keyText)
{
    static const std::pair<const char*, const char*> kNames[] = { { "Num 7", "Home" }, { "Num 1", "End" },
        { "Num 9", "PgUp" }, { "Num 3", "PgDn" }, { "Num 0", "Ins" }, { "Num Del", "Del" } };
    for (const auto& [from, to] : kNames) {
        if (keyText == QLatin1String(from))
            return QString::fromLatin1(to);
    }
    return keyText;
}

bool CCoolMenuManager::AppendAccelText(QString&, UINT) { return false; }

} // namespace ulv
