#include "ui/chrome/VTMenu.h"

#include "ui/chrome/MenuResources.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ulv {

int VTMenu::s_drawStyleThemed = 1;
int VTMenu::s_drawStyleClassic = 0;
int VTMenu::s_selectDisabledClassic = 1;
int VTMenu::s_selectDisabledFlat = 0;
int VTMenu::s_pictureVariants = 1;
std::vector<HMENU> VTMenu::s_subMenus;

namespace {

    int g_versionClass = 1;
    QString g_themeFileName;
    int g_classicTheme = -1;

    MenuImageList& Shared()
    {
        static MenuImageList list;
        return list;
    }
    std::vector<UINT>& Slots()
    {
        static std::vector<UINT> slots;
        return slots;
    }

    QRgb Sys(int index) { return SysRgb(index); }

    void RemoveAllOf(std::vector<HMENU>& list, HMENU menu)
    {
        list.erase(std::remove(list.begin(), list.end(), menu), list.end());
    }

    QString Label(const QString& text) { return text.section(QLatin1Char('\t'), 0, 0); }

    UINT ReadWord(const QByteArray& data, int& at, bool& ok)
    {
        if (at + 2 > data.size()) {
            ok = false;
            return 0;
        }
        const UINT w = UINT(uchar(data[at])) | (UINT(uchar(data[at + 1])) << 8);
        at += 2;
        return w;
    }

    QString ReadText(const QByteArray& data, int& at, bool& ok)
    {
        QString text;
        for (;;) {
            const UINT w = ReadWord(data, at, ok);
            if (!ok || w == 0)
                break;
            text.append(QChar(char16_t(w)));
        }
        return text;
    }

} // namespace

// ---- Class-wide values.

int VTMenu::VersionClass() { return g_versionClass; }

void VTMenu::SetVersionClass(int versionClass) { g_versionClass = versionClass; }

void VTMenu::SetThemeFileName(const QString& fileName)
{
    g_themeFileName = fileName;
    g_classicTheme = -1;
}

bool VTMenu::IsClassicThemeName(const QString& fileName)
{
    return fileName.endsWith(QStringLiteral("Windows Classic.theme"), Qt::CaseInsensitive);
}

bool VTMenu::IsClassicTheme()
{
    if (g_classicTheme < 0)
        g_classicTheme = IsClassicThemeName(g_themeFileName) ? 1 : 0;
    return g_classicTheme == 1;
}

COLORREF VTMenu::MenuBackground() { return GetSysColor(ThemedXp() ? COLOR_BTNFACE : COLOR_MENU); }

const MenuImageList& VTMenu::SharedImages() { return Shared(); }
const std::vector<UINT>& VTMenu::SharedSlots() { return Slots(); }

void VTMenu::ResetSharedImages()
{
    Shared() = MenuImageList();
    Slots().clear();
}

// ---- Lifetime.

VTMenu::VTMenu() = default;

VTMenu::~VTMenu() { VTMenu::DestroyMenu(); }

bool VTMenu::DestroyMenu()
{
    if (m_hMenu)
        RemoveAllOf(s_subMenus, m_hMenu);
    // The sub-menu objects go first; each takes its handle with it.
    while (!m_popups.empty()) {
        HMENU popup = m_popups.back();
        m_popups.pop_back();
        RemoveAllOf(s_subMenus, popup);
        RemoveAllOf(m_popups, popup);
        if (auto* sub = dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(popup)))
            delete sub;
    }
    for (VTMenuItem* record : m_items)
        delete record;
    m_items.clear();
    if (!m_checkImagesShared)
        delete m_checkImages;
    m_checkImages = nullptr;
    m_checkImagesShared = 0;
    return CMenu::DestroyMenu();
}

bool VTMenu::IsOwnSubMenu(HMENU menu)
{
    return menu && std::find(s_subMenus.begin(), s_subMenus.end(), menu) != s_subMenus.end();
}

VTMenu* VTMenu::MakeSubMenu()
{
    auto* sub = new VTMenu;
    sub->m_normalCheckId = m_normalCheckId;
    sub->m_selectedCheckId = m_selectedCheckId;
    sub->m_checkImages = m_checkImages;
    sub->m_checkImagesShared = 1;
    sub->m_imageWidth = m_imageWidth;
    sub->m_imageHeight = m_imageHeight;
    sub->CreatePopupMenu();
    return sub;
}

// ---- Loading.

bool VTMenu::LoadMenu(int menuId)
{
    const QByteArray t = FindMenuTemplate(menuId);
    return !t.isEmpty() && LoadMenuTemplate(t);
}

bool VTMenu::LoadMenuTemplate(const QByteArray& data)
{
    if (data.size() < 4)
        return false;
    VTMenu::DestroyMenu();
    if (!CreatePopupMenu())
        return false;
    int at = 0;
    bool ok = true;
    ReadWord(data, at, ok); // version
    const UINT headerSize = ReadWord(data, at, ok);
    at += int(headerSize);
    std::vector<VTMenu*> levels { this };
    std::vector<int> levelEnds { 0 };
    while (!levels.empty() && ok && at < data.size()) {
        UINT flags = ReadWord(data, at, ok);
        const bool end = flags & MF_END;
        flags &= ~UINT(MF_END);
        UINT id = 0;
        if (!(flags & MF_POPUP))
            id = ReadWord(data, at, ok);
        const QString text = ReadText(data, at, ok);
        if (!ok)
            break;
        VTMenu* current = levels.back();
        if (flags & MF_POPUP) {
            VTMenu* sub = MakeSubMenu();
            current->AppendItem(text, flags, reinterpret_cast<std::uintptr_t>(sub->m_hMenu), -1);
            if (end)
                levelEnds.back() = 1;
            levels.push_back(sub);
            levelEnds.push_back(0);
        } else {
            current->AppendItem(text, flags, id, -1);
            if (end) {
                levels.back()->PadAccelerators();
                levels.pop_back();
                levelEnds.pop_back();
                while (!levels.empty() && levelEnds.back()) {
                    levels.back()->PadAccelerators();
                    levels.pop_back();
                    levelEnds.pop_back();
                }
            }
        }
    }
    // Top-level items stay plain strings, as a menu bar shows them.
    for (int i = 0; i < int(m_items.size()); ++i) {
        VTMenuItem* record = m_items[std::size_t(i)];
        const bool popup = record->flags & MF_POPUP;
        const UINT flags = MF_BYPOSITION | (popup ? MF_POPUP : MF_STRING);
        ulv::ModifyMenu(m_hMenu, UINT(i), flags, record->id, record->text, PointerParam(record));
        record->flags = flags;
    }
    m_fromTemplate = 1;
    return true;
}

void VTMenu::PadAccelerators()
{
    const QFontMetrics fm(SystemMenuFont());
    int widest = 0;
    for (const VTMenuItem* r : m_items) {
        if (!r->text.isNull())
            widest = std::max(widest, fm.horizontalAdvance(Label(r->text) + QLatin1Char(' ')));
    }
    for (VTMenuItem* r : m_items) {
        const int tab = int(r->text.indexOf(QLatin1Char('\t')));
        if (tab < 0)
            continue;
        QString label = r->text.left(tab);
        const QString rest = r->text.mid(tab);
        while (fm.horizontalAdvance(label) < widest)
            label += QLatin1Char(' ');
        r->text = label + rest;
    }
}

int VTMenu::ItemOffset() const
{
    if (!m_fromTemplate)
        return 0;
    const int count = GetMenuItemCount();
    for (int pos = 0; pos < count; ++pos) {
        const QString t = GetMenuString(UINT(pos), MF_BYPOSITION);
        for (int i = 0; i < int(m_items.size()); ++i) {
            if (!t.isEmpty() && m_items[std::size_t(i)]->text == t)
                return pos - i;
        }
    }
    return 0;
}

void VTMenu::RestoreTopLevelPopups()
{
    const int offset = std::max(0, ItemOffset());
    const int count = GetMenuItemCount();
    for (int pos = offset; pos < count; ++pos) {
        const int index = pos - offset;
        if (index >= int(m_items.size()) || !GetSubMenu(pos))
            continue;
        VTMenuItem* record = m_items[std::size_t(index)];
        record->flags = MF_BYPOSITION | MF_POPUP;
        ulv::ModifyMenu(m_hMenu, UINT(pos), record->flags, record->id, record->text, PointerParam(record));
    }
}

// ---- Adding.

QRgb VTMenu::TransparentColor() const
{
    return m_useImageBackground ? ColorRefToRgb(m_imageBackground) : Sys(COLOR_BTNFACE);
}

void VTMenu::AddPicture(VTMenuItem* record, UINT id, int toolbarId)
{
    if (toolbarId < 0) {
        record->sharedIndex = FindSharedImage(id);
        return;
    }
    int index = 0;
    GetToolbarImageIndex(id, toolbarId, index);
    MenuImageList temp(m_imageWidth, m_imageHeight);
    if (AddImageToList(temp, toolbarId))
        record->sharedIndex = AddSharedImage(temp, index, id);
}

bool VTMenu::AddItemAt(int position, const QString& text, UINT flags, std::uintptr_t id, int toolbarId,
    const MenuImageList* list, int index, bool useList)
{
    if (!m_hMenu)
        return false;
    if (id == 0)
        flags = MF_OWNERDRAW | MF_SEPARATOR | (flags & MF_BYPOSITION);
    else
        flags |= MF_OWNERDRAW;
    if (flags & MF_POPUP) {
        auto* sub = reinterpret_cast<HMENU>(id);
        s_subMenus.push_back(sub);
        m_popups.push_back(sub);
    }
    auto* record = new VTMenuItem;
    record->text = text;
    record->flags = flags;
    record->id = id;
    if (useList) {
        if (list) {
            record->ownImages = std::make_unique<MenuImageList>();
            if (CopyImageToOwnList(list, index, record->ownImages.get())) {
                record->imageIndex = 0;
                record->ownImageMark = 0;
            } else {
                record->ownImages.reset();
            }
        }
    } else if (!(flags & (MF_POPUP | MF_SEPARATOR))) {
        AddPicture(record, UINT(id), toolbarId);
    }
    const int count = GetMenuItemCount();
    int recordIndex = position < 0 || position >= count ? int(m_items.size()) : position;
    if ((flags & MF_POPUP) && m_fromTemplate && position >= 0) {
        const int offset = ItemOffset();
        if (position >= offset)
            recordIndex = position - offset;
    }
    recordIndex = std::clamp(recordIndex, 0, int(m_items.size()));
    m_items.insert(m_items.begin() + recordIndex, record);
    const UINT at = position < 0 ? UINT(-1) : UINT(position);
    const bool ok = ulv::InsertMenu(m_hMenu, at, (flags & ~UINT(MF_BYPOSITION)) | MF_BYPOSITION, id, text,
        PointerParam(record));
    if (m_fromTemplate)
        RestoreTopLevelPopups();
    return ok;
}

bool VTMenu::AppendItem(const QString& text, UINT flags, std::uintptr_t id, int toolbarId)
{
    return AddItemAt(-1, text, flags, id, toolbarId, nullptr, -1, false);
}

bool VTMenu::AppendItem(const QString& text, UINT flags, std::uintptr_t id, const MenuImageList* list, int index)
{
    return AddItemAt(-1, text, flags, id, -1, list, index, true);
}

bool VTMenu::AppendItem(UINT flags, std::uintptr_t id, const QString& text, const QImage& bitmap)
{
    if (bitmap.isNull())
        return AppendItem(text, flags, id, -1);
    MenuImageList temp(m_imageWidth, m_imageHeight);
    temp.AddMasked(bitmap, TransparentColor());
    return AppendItem(text, flags, id, &temp, 0);
}

bool VTMenu::ApplyByCommand(UINT id, UINT flags, const std::function<bool(VTMenu*, UINT)>& op)
{
    if (flags & MF_BYPOSITION)
        return op(this, id);
    int position = -1;
    VTMenu* owner = FindCommandOwner(id, position);
    return owner && op(owner, UINT(position));
}

bool VTMenu::InsertItem(UINT position, const QString& text, UINT flags, std::uintptr_t id, int toolbarId)
{
    return ApplyByCommand(position, flags, [&](VTMenu* level, UINT pos) {
        return level->AddItemAt(int(pos), text, flags | MF_BYPOSITION, id, toolbarId, nullptr, -1, false);
    });
}

bool VTMenu::InsertItem(
    UINT position, const QString& text, UINT flags, std::uintptr_t id, const MenuImageList* list, int index)
{
    return ApplyByCommand(position, flags, [&](VTMenu* level, UINT pos) {
        return level->AddItemAt(int(pos), text, flags | MF_BYPOSITION, id, -1, list, index, true);
    });
}

bool VTMenu::InsertItem(UINT position, UINT flags, std::uintptr_t id, const QString& text, const QImage& bitmap)
{
    if (bitmap.isNull())
        return InsertItem(position, text, flags, id, -1);
    MenuImageList temp(m_imageWidth, m_imageHeight);
    temp.AddMasked(bitmap, TransparentColor());
    return InsertItem(position, text, flags, id, &temp, 0);
}

VTMenu* VTMenu::AppendPopup(const QString& text)
{
    if (!m_hMenu)
        return nullptr;
    VTMenu* sub = MakeSubMenu();
    AppendItem(text, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub->m_hMenu), -1);
    return sub;
}

// ---- Changing.

bool VTMenu::ModifyEach(const QString& text, UINT id, const std::function<void(VTMenuItem*)>& picture)
{
    std::vector<std::pair<VTMenu*, int>> visited;
    bool any = false;
    for (;;) {
        int position = -1;
        VTMenu* level = FindCommandOwner(id, position, visited);
        if (!level)
            break;
        visited.emplace_back(level, position);
        VTMenuItem* record = nullptr;
        if (position < int(level->m_items.size()) && level->m_items[std::size_t(position)]->id == id)
            record = level->m_items[std::size_t(position)];
        for (std::size_t i = 0; !record && i < level->m_items.size(); ++i) {
            if (level->m_items[i]->id == id)
                record = level->m_items[i];
        }
        if (!record) {
            record = new VTMenuItem;
            record->id = id;
            record->text = ulv::GetMenuString(level->m_hMenu, UINT(position), MF_BYPOSITION);
            level->m_items.insert(
                level->m_items.begin() + std::min<std::size_t>(std::size_t(position), level->m_items.size()), record);
        }
        if (!text.isNull())
            record->text = text;
        picture(record);
        const UINT state = ulv::GetMenuState(level->m_hMenu, UINT(position), MF_BYPOSITION);
        record->flags = ((state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) | MF_OWNERDRAW) & ~UINT(MF_BYPOSITION);
        any = ulv::ModifyMenu(level->m_hMenu, UINT(position), record->flags | MF_BYPOSITION, id, record->text,
                  PointerParam(record))
            || any;
    }
    return any;
}

bool VTMenu::ModifyItem(const QString& text, UINT id, int toolbarId)
{
    return ModifyEach(text, id, [&](VTMenuItem* r) { AddPicture(r, id, toolbarId); });
}

bool VTMenu::ModifyItem(const QString& text, UINT id, const MenuImageList* list, int index)
{
    int slot = -1;
    if (list)
        slot = AddSharedImage(*list, index, id);
    return ModifyEach(text, id, [&](VTMenuItem* r) { r->sharedIndex = slot; });
}

bool VTMenu::ModifyItem(const QString& text, UINT id, const QImage& bitmap)
{
    if (bitmap.isNull())
        return ModifyEach(text, id, [](VTMenuItem*) { });
    MenuImageList temp(m_imageWidth, m_imageHeight);
    temp.AddMasked(bitmap, TransparentColor());
    return ModifyItem(text, id, &temp, 0);
}

bool VTMenu::ModifyItem(
    const QString& text, UINT id, COLORREF fill, COLORREF border, int hatchStyle, const QSize* swatchSize)
{
    const QSize size = swatchSize ? *swatchSize : QSize(m_imageWidth, m_imageHeight);
    const QImage swatch
        = MakeSwatchBitmap(size.width(), size.height(), m_imageWidth, m_imageHeight, fill, border, hatchStyle);
    return ModifyItem(text, id, swatch);
}

bool VTMenu::ModifyItemByText(const QString& newText, const QString& oldText, int bitmapId)
{
    VTMenuItem* record = FindItemRecordByText(oldText);
    if (!record)
        return false;
    if (!newText.isNull())
        record->text = newText;
    if (bitmapId >= 0) {
        record->ownImages = std::make_unique<MenuImageList>(m_imageWidth, m_imageHeight);
        if (AddImageToList(*record->ownImages, bitmapId)) {
            record->ownImageMark = bitmapId;
            record->imageIndex = 0;
        } else {
            record->ownImages.reset();
            record->ownImageMark = -1;
            record->imageIndex = -1;
        }
    }
    return true;
}

bool VTMenu::SetItemText(UINT id, const QString& text, UINT flags)
{
    return ApplyByCommand(id, flags, [&](VTMenu* level, UINT pos) {
        if (pos >= level->m_items.size())
            return false;
        level->m_items[pos]->text = text;
        if (QAction* a = MenuItemAction(level->m_hMenu, pos, MF_BYPOSITION); a && a->menu())
            a->menu()->update();
        return true;
    });
}

bool VTMenu::GetItemText(UINT id, QString& text, UINT flags)
{
    return ApplyByCommand(id, flags, [&](VTMenu* level, UINT pos) {
        if (pos >= level->m_items.size())
            return false;
        text = level->m_items[pos]->text;
        return true;
    });
}

// ---- Removing.

void VTMenu::DestroyRecord(VTMenuItem* record)
{
    m_items.erase(std::remove(m_items.begin(), m_items.end(), record), m_items.end());
    delete record;
}

bool VTMenu::RemoveAt(int position, bool deleting)
{
    if (!m_hMenu || position < 0 || position >= GetMenuItemCount())
        return false;
    const HMENU popup = GetSubMenu(position);
    const UINT id = GetMenuItemID(position);
    VTMenuItem* target = nullptr;
    if (popup) {
        for (VTMenuItem* r : m_items) {
            if (r->id == reinterpret_cast<std::uintptr_t>(popup))
                target = r;
        }
    } else if (id == 0) {
        if (position < int(m_items.size())) {
            VTMenuItem* r = m_items[std::size_t(position)];
            if (!deleting || r->text.isEmpty())
                target = r;
        }
    } else {
        for (VTMenuItem* r : m_items) {
            if (!target && r->id == id)
                target = r;
        }
    }
    // The platform item goes first: the popup's handle dies with its object
    // below, and the item must not be looked for after that.
    const bool ok = deleting && !popup ? ulv::DeleteMenu(m_hMenu, UINT(position), MF_BYPOSITION)
                                       : ulv::RemoveMenu(m_hMenu, UINT(position), MF_BYPOSITION);
    if (popup) {
        RemoveAllOf(s_subMenus, popup);
        RemoveAllOf(m_popups, popup);
        if (auto* sub = dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(popup))) {
            for (int i = sub->GetMenuItemCount() - 1; i >= 0; --i)
                sub->RemoveAt(i, deleting);
            delete sub;
        } else if (deleting) {
            ulv::DestroyMenu(popup);
        }
    }
    if (target)
        DestroyRecord(target);
    return ok;
}

bool VTMenu::RemoveItem(UINT id, UINT flags)
{
    return ApplyByCommand(id, flags, [](VTMenu* level, UINT pos) { return level->RemoveAt(int(pos), false); });
}

bool VTMenu::DeleteItem(UINT id, UINT flags)
{
    return ApplyByCommand(id, flags, [](VTMenu* level, UINT pos) { return level->RemoveAt(int(pos), true); });
}

int VTMenu::RemoveByText(const QString& text, int mode, bool deleting)
{
    const int position = FindItemPosition(text);
    if (position < 0)
        return -1;
    RemoveAt(position, deleting);
    if (mode == 1 || mode == 2) {
        RemoveAt(position - 1, deleting);
    } else if (mode == 3) {
        RemoveAt(position - 1, deleting);
        RemoveAt(position - 2, deleting);
    }
    return position;
}

int VTMenu::RemoveItemByText(const QString& text, int mode) { return RemoveByText(text, mode, false); }
int VTMenu::DeleteItemByText(const QString& text, int mode) { return RemoveByText(text, mode, true); }

// ---- Finding.

VTMenuItem* VTMenu::FindItemRecord(UINT id)
{
    for (VTMenuItem* r : m_items) {
        if (r->id == id)
            return r;
    }
    for (HMENU popup : m_popups) {
        if (auto* sub = dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(popup))) {
            if (VTMenuItem* r = sub->FindItemRecord(id))
                return r;
        }
    }
    return nullptr;
}

VTMenu* VTMenu::FindCommandOwner(UINT id, int& position)
{
    std::vector<std::pair<VTMenu*, int>> none;
    return FindCommandOwner(id, position, none);
}

VTMenu* VTMenu::FindCommandOwner(UINT id, int& position, std::vector<std::pair<VTMenu*, int>>& visited)
{
    position = -1;
    if (!m_hMenu)
        return nullptr;
    const int count = GetMenuItemCount();
    for (int pos = 0; pos < count; ++pos) {
        if (HMENU popup = GetSubMenu(pos)) {
            if (auto* sub = dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(popup))) {
                if (VTMenu* found = sub->FindCommandOwner(id, position, visited))
                    return found;
            }
            continue;
        }
        if (GetMenuItemID(pos) != id)
            continue;
        const auto seen = std::find(visited.begin(), visited.end(), std::make_pair(this, pos));
        if (seen == visited.end()) {
            position = pos;
            return this;
        }
    }
    position = -1;
    return nullptr;
}

VTMenuItem* VTMenu::FindItemRecordByText(const QString& text)
{
    for (VTMenuItem* r : m_items) {
        if (r->text == text)
            return r;
        if (r->flags & MF_POPUP) {
            if (auto* sub = dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(r->id)))) {
                if (VTMenuItem* found = sub->FindItemRecordByText(text))
                    return found;
            }
        }
    }
    return nullptr;
}

int VTMenu::FindItemPosition(const QString& text)
{
    for (int i = 0; i < int(m_items.size()); ++i) {
        if (m_items[std::size_t(i)]->text == text)
            return i;
    }
    return -1;
}

VTMenu* VTMenu::FindPopupByText(const QString& text)
{
    for (VTMenuItem* r : m_items) {
        if ((r->flags & MF_POPUP) && r->text == text)
            return dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(r->id)));
    }
    return nullptr;
}

VTMenu* VTMenu::GetSubMenuByText(const QString& text)
{
    const int count = GetMenuItemCount();
    for (int pos = 0; pos < count; ++pos) {
        if (GetMenuString(UINT(pos), MF_BYPOSITION) == text)
            return dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(GetSubMenu(pos)));
    }
    return nullptr;
}

// ---- Keys.

LRESULT VTMenu::MatchMenuChar(UINT character, UINT flags, HMENU menu)
{
    return MatchMenuChar(character, flags, dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(menu)));
}

LRESULT VTMenu::MatchMenuChar(UINT character, UINT flags, VTMenu* menu)
{
    if (!(flags & MF_POPUP) || !menu || !menu->m_hMenu)
        return 0;
    const QString key = QStringLiteral("&") + QChar(char16_t(character)).toLower();
    if (menu->GetMenuItemCount() != int(menu->m_items.size()))
        menu->SyncItemRecords();
    for (int pos = 0; pos < int(menu->m_items.size()); ++pos) {
        if (menu->m_items[std::size_t(pos)]->text.toLower().contains(key))
            return MakeLResult(UINT(pos), MNC_EXECUTE);
    }
    return 0;
}

void VTMenu::SyncItemRecords(VTMenu* menu)
{
    if (menu)
        menu->SyncItemRecords();
}

void VTMenu::SyncItemRecords()
{
    if (!m_hMenu)
        return;
    for (VTMenuItem* r : m_items)
        r->syncMark = 0;
    auto take = [&](std::uintptr_t id) -> VTMenuItem* {
        for (VTMenuItem* r : m_items) {
            if (!r->syncMark && r->id == id) {
                r->syncMark = 1;
                return r;
            }
        }
        return nullptr;
    };
    std::vector<VTMenuItem*> ordered;
    const int count = GetMenuItemCount();
    for (int pos = 0; pos < count; ++pos) {
        const QString platformText = GetMenuString(UINT(pos), MF_BYPOSITION);
        VTMenuItem* r = nullptr;
        if (HMENU popup = GetSubMenu(pos)) {
            r = take(reinterpret_cast<std::uintptr_t>(popup));
            if (!r) {
                r = new VTMenuItem;
                r->syncMark = 1;
                r->id = reinterpret_cast<std::uintptr_t>(popup);
                r->flags = MF_OWNERDRAW | MF_POPUP | MF_BYPOSITION;
                r->text = platformText;
            } else if (!platformText.isEmpty()) {
                r->text = platformText;
            }
        } else if (GetMenuItemID(pos) == 0) {
            r = take(0);
            if (!r) {
                r = new VTMenuItem;
                r->syncMark = 1;
                r->flags = MF_OWNERDRAW | MF_SEPARATOR | MF_BYPOSITION;
                r->text = QStringLiteral("");
            }
            ulv::ModifyMenu(m_hMenu, UINT(pos), MF_BYPOSITION | MF_OWNERDRAW | MF_SEPARATOR, 0, QString(),
                PointerParam(r));
        } else {
            const UINT id = GetMenuItemID(pos);
            const UINT state = GetMenuState(UINT(pos), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
            r = take(id);
            if (!r) {
                r = new VTMenuItem;
                r->syncMark = 1;
                r->id = id;
                r->text = platformText;
            } else if (!platformText.isEmpty()) {
                r->text = platformText;
            }
            r->flags = state | MF_OWNERDRAW | MF_BYPOSITION;
            ulv::ModifyMenu(m_hMenu, UINT(pos), r->flags, id, QString(), PointerParam(r));
        }
        ordered.push_back(r);
    }
    for (VTMenuItem* r : m_items) {
        if (!r->syncMark)
            delete r;
    }
    m_items = ordered;
}

} // namespace ulv
