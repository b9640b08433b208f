#include "ui/chrome/CIconMenu.h"

#include "ui/chrome/MenuResources.h"
#include "ui/chrome/VTMenu.h"

#include <QFontMetrics>
#include <QPainter>

namespace ulv {

namespace {
    // Shared by every icon menu: how deep the conversion is.
    int g_depth = 0;

    QRgb C(int index) { return SysRgb(index); }
} // namespace

CIconMenu::CIconMenu()
    : m_menuFont(SystemMenuFont())
{
    m_boldFont = m_menuFont;
    m_boldFont.setWeight(QFont::Bold);
    QImage check(16, 16, QImage::Format_ARGB32);
    check.fill(Qt::transparent);
    QPainter p(&check);
    VTMenu::DrawCheckGlyph(p, 4, 4, GetSysColor(COLOR_MENUTEXT));
    p.end();
    m_checkImages.Create(16, 16);
    m_checkImages.Add(check);
}

CIconMenu::~CIconMenu()
{
    for (HMENU menu : m_converted)
        SetMenuDrawer(menu, nullptr);
}

bool CIconMenu::AddImages(int toolbarId, bool create)
{
    const ToolBarResource* toolbar = FindToolBar(toolbarId);
    if (!toolbar)
        return false;
    if (create || !m_images.IsCreated()) {
        m_imageWidth = toolbar->imageWidth;
        m_imageHeight = toolbar->imageHeight;
        m_images.Create(m_imageWidth, m_imageHeight);
    }
    const int first = m_images.AddMasked(LoadBitmapResource(toolbarId), qRgb(192, 192, 192));
    if (first < 0)
        return false;
    int image = first;
    for (unsigned id : toolbar->ids) {
        if (id != 0)
            m_imageMap.insert(id, image++);
    }
    return true;
}

bool CIconMenu::LoadToolbar(int toolbarId) { return AddImages(toolbarId, true); }

bool CIconMenu::AddToolbar(int toolbarId) { return AddImages(toolbarId, false); }

CIconMenu::Record* CIconMenu::MakeRecord(int image, UINT id, const QString& text)
{
    auto record = std::make_unique<Record>();
    record->image = image;
    record->id = id;
    record->text = text.left(128);
    m_records.push_back(std::move(record));
    return m_records.back().get();
}

void CIconMenu::ConvertToOwnerDraw(HMENU menu)
{
    if (!IsMenu(menu))
        return;
    SetMenuDrawer(menu, this);
    m_converted.push_back(menu);
    const int count = ulv::GetMenuItemCount(menu);
    for (int pos = count - 1; pos >= 0; --pos) {
        const UINT state = ulv::GetMenuState(menu, UINT(pos), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
        const UINT type = ulv::GetMenuItemType(menu, UINT(pos), MF_BYPOSITION);
        if (HMENU sub = ulv::GetSubMenu(menu, pos)) {
            ++g_depth;
            ConvertToOwnerDraw(sub);
            --g_depth;
            const QString caption = ulv::GetMenuString(menu, UINT(pos), MF_BYPOSITION);
            if (!caption.isEmpty()) {
                Record* r = MakeRecord(g_depth == 0 ? kFirstLevelCaption : kSubCaption, 0, caption);
                ulv::ModifyMenu(menu, UINT(pos), MF_BYPOSITION | MF_POPUP | MF_OWNERDRAW | state,
                    reinterpret_cast<std::uintptr_t>(sub), QString(), PointerParam(r));
            }
        } else if (type & MF_SEPARATOR) {
            Record* r = MakeRecord(kSeparator, UINT(kSeparator), QStringLiteral("--"));
            ulv::ModifyMenu(menu, UINT(pos), MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW, 0, QString(), PointerParam(r));
        } else if (!(type & (MF_OWNERDRAW | MF_BITMAP))) {
            const UINT id = ulv::GetMenuItemID(menu, pos);
            Record* r = MakeRecord(ImageOf(id), id, ulv::GetMenuString(menu, UINT(pos), MF_BYPOSITION));
            ulv::ModifyMenu(menu, UINT(pos), MF_BYPOSITION | MF_OWNERDRAW | state, id, QString(), PointerParam(r));
        }
    }
}

void CIconMenu::UpdateItems(HMENU menu, const UpdateState& target)
{
    const int count = ulv::GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        if (HMENU sub = ulv::GetSubMenu(menu, pos)) {
            UpdateItems(sub, target);
            continue;
        }
        const UINT id = ulv::GetMenuItemID(menu, pos);
        if (id == 0 || !target)
            continue;
        const UINT state = ulv::GetMenuState(menu, UINT(pos), MF_BYPOSITION);
        bool enabled = !(state & (MF_GRAYED | MF_DISABLED));
        bool checked = state & MF_CHECKED;
        target(id, enabled, checked);
        ulv::EnableMenuItem(menu, UINT(pos), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
        ulv::CheckMenuItem(menu, UINT(pos), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void CIconMenu::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    const auto* r = mis && mis->CtlType == ODT_MENU ? reinterpret_cast<const Record*>(mis->itemData) : nullptr;
    if (!r)
        return;
    if (r->image == kSeparator) {
        mis->itemWidth = 10;
        mis->itemHeight = 6;
        return;
    }
    const QFontMetrics fm(TextFont());
    const QSize text = fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs, r->text);
    if (r->image == kFirstLevelCaption) {
        mis->itemWidth = text.width();
        mis->itemHeight = text.height();
    } else if (r->text.isEmpty()) {
        mis->itemWidth = 100;
        mis->itemHeight = m_imageHeight + 5;
    } else {
        mis->itemHeight = std::max(m_imageHeight + 5, text.height());
        mis->itemWidth = text.width() + 17 + std::max(m_imageWidth, mis->itemHeight);
    }
}

void CIconMenu::DrawItem(DRAWITEMSTRUCT* dis)
{
    const auto* rec = dis && dis->CtlType == ODT_MENU && dis->hDC ? reinterpret_cast<const Record*>(dis->itemData)
                                                                  : nullptr;
    if (!rec)
        return;
    QPainter& p = *dis->hDC;
    const QRect r = dis->rcItem;
    const bool selected = dis->itemState & ODS_SELECTED;
    const bool disabled = dis->itemState & (ODS_GRAYED | ODS_DISABLED);
    const bool checked = dis->itemState & ODS_CHECKED;
    p.save();
    p.setFont((dis->itemState & ODS_DEFAULT) ? m_boldFont : TextFont());
    const QRect square(r.left(), r.top(), r.height(), r.height());
    if (rec->image == kSeparator) {
        p.fillRect(QRect(r.left() + 2, r.top() + 2, r.width() - 4, 1), QColor::fromRgb(C(COLOR_BTNSHADOW)));
        p.fillRect(QRect(r.left() + 2, r.top() + 3, r.width() - 4, 1), QColor::fromRgb(C(COLOR_BTNHIGHLIGHT)));
        p.restore();
        return;
    }
    if (rec->image == kFirstLevelCaption) {
        const bool raised = selected && !disabled;
        FillSolidRect(p, raised ? r.translated(2, 1) : r, GetSysColor(COLOR_MENU));
        p.setPen(QColor::fromRgb(C(COLOR_MENUTEXT)));
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, rec->text);
        if (raised)
            Draw3dRect(p, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        p.restore();
        return;
    }
    const bool hasImage = rec->image >= 0 && rec->image < m_images.Count();
    const QRect textArea(QPoint(square.right() + 2, r.top()), r.bottomRight());
    const QRect fill = (hasImage || checked) ? textArea : r;
    FillSolidRect(p, fill, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    const QRgb textColour = C(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    if (hasImage) {
        if (selected && !disabled)
            Draw3dRect(p, square, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        else
            Draw3dRect(p, square, GetSysColor(COLOR_MENU), GetSysColor(COLOR_MENU));
        const QPoint at(square.left() + (square.width() - m_imageWidth) / 2,
            square.top() + (square.height() - m_imageHeight) / 2);
        if (disabled)
            DrawDisabledImage(p, at, m_images.Image(rec->image));
        else
            m_images.Draw(p, rec->image, at.x(), at.y());
    } else if (checked) {
        m_checkImages.Draw(p, 0, square.left() + (square.width() - 16) / 2, square.top() + (square.height() - 16) / 2 - 2);
    }
    const QRect text = textArea.adjusted(2, 0, -15, 0);
    const int tab = int(rec->text.indexOf(QLatin1Char('\t')));
    const QString label = tab < 0 ? rec->text : rec->text.left(tab);
    const QString accel = tab < 0 ? QString() : rec->text.mid(tab + 1);
    auto out = [&](const QRect& at, QRgb colour) {
        p.setPen(QColor::fromRgb(colour));
        const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
        p.drawText(at, flags | Qt::AlignLeft, label);
        if (!accel.isEmpty())
            p.drawText(at, flags | Qt::AlignRight, accel);
    };
    if (disabled && !selected) {
        out(text.translated(1, 1), C(COLOR_BTNHIGHLIGHT));
        out(text, C(COLOR_GRAYTEXT));
    } else {
        out(text, disabled ? C(COLOR_GRAYTEXT) : textColour);
    }
    p.restore();
}

} // namespace ulv
