// VTMenu's pictures and its two looks.
#include "ui/chrome/MenuResources.h"
#include "ui/chrome/VTMenu.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace ulv {

namespace {

    MenuImageList& Shared()
    {
        return const_cast<MenuImageList&>(VTMenu::SharedImages());
    }
    std::vector<UINT>& Slots() { return const_cast<std::vector<UINT>&>(VTMenu::SharedSlots()); }

    bool Variants() { return VTMenu::FlatLook() && VTMenu::s_pictureVariants; }

    QRgb Face() { return SysRgb(COLOR_BTNFACE); }

    void FillRect(QPainter& p, const QRect& r, COLORREF c) { FillSolidRect(p, r, c); }

    void Frame(QPainter& p, const QRect& r, COLORREF c) { Draw3dRect(p, r, c, c); }

    // Splits an item's text at its tabs: the label before the first, the
    // accelerator after the last.
    void SplitText(const QString& text, QString& label, QString& accel)
    {
        const int first = int(text.indexOf(QLatin1Char('\t')));
        if (first < 0) {
            label = text;
            accel.clear();
            return;
        }
        label = text.left(first);
        accel = text.mid(int(text.lastIndexOf(QLatin1Char('\t'))) + 1);
    }

    void TextOut(QPainter& p, const QRect& r, int align, const QString& text, COLORREF c)
    {
        p.setPen(ColorRefToQColor(c));
        p.drawText(r, align | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text);
    }

    // The ink of a picture for its embossed form: every pixel that is neither
    // the face colour, nor white-ish, nor transparent.
    bool MonochromeInk(QRgb px)
    {
        if (qAlpha(px) < 128)
            return false;
        if ((px | 0xFF000000u) == (Face() | 0xFF000000u))
            return false;
        return qGray(px) < 224;
    }

    bool MaskInk(QRgb px)
    {
        if (qAlpha(px) < 128)
            return false;
        const QRgb opaque = px | 0xFF000000u;
        return opaque != (Face() | 0xFF000000u) && opaque != (SysRgb(COLOR_BTNHIGHLIGHT) | 0xFF000000u);
    }

    QImage MaskColour(QImage image, QRgb colour)
    {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] | 0xFF000000u) == (colour | 0xFF000000u))
                    line[x] = 0;
            }
        }
        return image;
    }

    Qt::BrushStyle HatchBrush(int hatch)
    {
        switch (hatch) {
        case 0:
            return Qt::HorPattern;
        case 1:
            return Qt::VerPattern;
        case 2:
            return Qt::FDiagPattern;
        case 3:
            return Qt::BDiagPattern;
        case 4:
            return Qt::CrossPattern;
        case 5:
            return Qt::DiagCrossPattern;
        default:
            return Qt::SolidPattern;
        }
    }

    bool g_skipVariants = false;

} // namespace

// ---- Pictures.

void VTMenu::SetIconSize(int width, int height)
{
    m_imageWidth = width;
    m_imageHeight = height;
    // Sub-menus draw with the size the menu is measured with.
    for (HMENU popup : m_popups) {
        if (auto* sub = dynamic_cast<VTMenu*>(CMenu::FromHandlePermanent(popup)))
            sub->SetIconSize(width, height);
    }
}

void VTMenu::SetImageBackground(COLORREF color)
{
    m_imageBackground = color;
    m_useImageBackground = 1;
}

QImage VTMenu::LoadSysColorBitmap16(int bitmapId)
{
    const QImage image = LoadBitmapResource(bitmapId);
    const bool indexed = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB
        || image.format() == QImage::Format_Indexed8;
    if (image.isNull() || !indexed || image.colorCount() > 16)
        return {};
    QImage mapped = image;
    QList<QRgb> table = mapped.colorTable();
    for (QRgb& c : table) {
        switch (c | 0xFF000000u) {
        case 0xFF000000u:
            c = SysRgb(COLOR_BTNTEXT);
            break;
        case 0xFF808080u:
            c = SysRgb(COLOR_BTNSHADOW);
            break;
        case 0xFFC0C0C0u:
            c = SysRgb(COLOR_BTNFACE);
            break;
        case 0xFFFFFFFFu:
            c = SysRgb(COLOR_BTNHIGHLIGHT);
            break;
        default:
            break;
        }
    }
    mapped.setColorTable(table);
    return mapped.convertToFormat(QImage::Format_ARGB32);
}

bool VTMenu::AddImageToList(MenuImageList& list, int id)
{
    if (!list.IsCreated())
        list.Create(m_imageWidth, m_imageHeight);
    bool added = false;
    if (m_iconIds) {
        added = list.Add(LoadBitmapResource(id)) >= 0;
    } else {
        QImage bitmap = LoadSysColorBitmap16(id);
        if (bitmap.isNull())
            bitmap = LoadBitmapResource(id);
        added = list.AddMasked(bitmap, TransparentColor()) >= 0;
    }
    if (added && Variants() && !g_skipVariants) {
        const QImage first = MakeImageBitmap(list, 0);
        list.Add(MaskColour(FadeBitmap(first), Face()));
        list.Add(MaskColour(ShadowBitmap(first), Face()));
    }
    return added;
}

int VTMenu::AddSharedImage(const MenuImageList& list, int index, UINT id)
{
    if (!Shared().IsCreated())
        Shared().Create(m_imageWidth, m_imageHeight);
    const QImage icon = list.Image(index);
    if (icon.isNull())
        return -1;
    QImage fade, shadow;
    if (Variants()) {
        const QImage over = MakeImageBitmap(list, index);
        fade = MaskColour(FadeBitmap(over), Face());
        shadow = MaskColour(ShadowBitmap(over), Face());
    }
    const int slot = FindSharedImage(id);
    if (slot >= 0) {
        Shared().Replace(slot, icon);
        if (Variants() && HasImageVariants(slot)) {
            Shared().Replace(slot + 1, fade);
            Shared().Replace(slot + 2, shadow);
        }
        return slot;
    }
    const int added = Shared().Add(icon);
    Slots().push_back(id);
    if (Variants()) {
        Shared().Add(fade);
        Slots().push_back(id);
        Shared().Add(shadow);
        Slots().push_back(id);
    }
    return added;
}

int VTMenu::FindSharedImage(UINT id)
{
    const auto it = std::find(Slots().begin(), Slots().end(), id);
    return it == Slots().end() ? -1 : int(it - Slots().begin());
}

bool VTMenu::HasImageVariants(int slot)
{
    const auto& s = Slots();
    return slot >= 0 && slot + 2 < int(s.size()) && s[std::size_t(slot + 1)] == s[std::size_t(slot)]
        && s[std::size_t(slot + 2)] == s[std::size_t(slot)];
}

bool VTMenu::CopyImageToOwnList(const MenuImageList* source, int index, MenuImageList* own)
{
    if (!source || !own || index < 0)
        return false;
    own->Create(source->Width(), source->Height());
    const QImage icon = source->Image(index);
    if (icon.isNull())
        return false;
    own->Add(icon);
    if (Variants()) {
        const QImage over = MakeImageBitmap(*source, index);
        own->Add(MaskColour(FadeBitmap(over), Face()));
        own->Add(MaskColour(ShadowBitmap(over), Face()));
    }
    return true;
}

bool VTMenu::GetToolbarImageIndex(UINT id, int toolbarId, int& index)
{
    const ToolBarResource* toolbar = FindToolBar(toolbarId);
    if (!toolbar)
        return false;
    int image = 0;
    for (unsigned button : toolbar->ids) {
        if (button == 0)
            continue;
        if (button == id) {
            if (image > 0)
                index = image;
            return true;
        }
        ++image;
    }
    return false;
}

QImage VTMenu::MakeImageBitmap(const MenuImageList& list, int index) const
{
    QImage out(list.Width() > 0 ? list.Width() : m_imageWidth, list.Height() > 0 ? list.Height() : m_imageHeight,
        QImage::Format_ARGB32);
    out.fill(Face());
    QPainter p(&out);
    list.Draw(p, index, 0, 0);
    return out;
}

QImage VTMenu::FadeBitmap(const QImage& bitmap)
{
    QImage out = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb bg = Face() | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] | 0xFF000000u) != bg)
                line[x] = ColorRefToRgb(Lighten(ColorRefFromRgb(line[x]), 0.3));
        }
    }
    return out;
}

QImage VTMenu::ShadowBitmap(const QImage& bitmap)
{
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (!ThemedXp())
        shadow = Lighten(shadow, 0.49);
    QImage out = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb bg = Face() | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] | 0xFF000000u) != bg)
                line[x] = ColorRefToRgb(shadow);
        }
    }
    return out;
}

void VTMenu::DrawEmbossedMonochrome(
    QPainter& p, int x, int y, int width, int height, const QImage& bitmap, int sx, int sy, COLORREF bg)
{
    const QImage src = bitmap.convertToFormat(QImage::Format_ARGB32);
    FillRect(p, QRect(x, y, width, height), bg);
    const QColor hi = ColorRefToQColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    const QColor sh = ColorRefToQColor(GetSysColor(COLOR_BTNSHADOW));
    for (int pass = 0; pass < 2; ++pass) {
        const int off = pass == 0 ? 1 : 0;
        for (int j = 0; j < height; ++j) {
            for (int i = 0; i < width; ++i) {
                if (src.valid(sx + i, sy + j) && MonochromeInk(src.pixel(sx + i, sy + j)))
                    p.fillRect(QRect(x + i + off, y + j + off, 1, 1), pass == 0 ? hi : sh);
            }
        }
    }
}

void VTMenu::DrawEmbossedMask(
    QPainter& p, int x, int y, int width, int height, const QImage& bitmap, int sx, int sy, COLORREF bg)
{
    if (width <= 0 || height <= 0)
        return;
    const QImage src = bitmap.convertToFormat(QImage::Format_ARGB32);
    auto ink = [&](int i, int j) { return src.valid(sx + i, sy + j) && MaskInk(src.pixel(sx + i, sy + j)); };
    const QRgb hi = SysRgb(COLOR_BTNHIGHLIGHT), sh = SysRgb(COLOR_BTNSHADOW), back = ColorRefToRgb(bg);
    QImage work(width, height, QImage::Format_RGB32);
    work.fill(back);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (ink(i, j))
                work.setPixel(i, j, hi);
    p.drawImage(x + 1, y + 1, work);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (ink(i, j) && i + 1 < width && j + 1 < height)
                work.setPixel(i + 1, j + 1, hi);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (ink(i, j))
                work.setPixel(i, j, sh);
    p.drawImage(x, y, work);
}

QImage VTMenu::MakeSwatchBitmap(int swatchWidth, int swatchHeight, int bitmapWidth, int bitmapHeight, COLORREF fill,
    COLORREF border, int hatchStyle)
{
    if (bitmapWidth <= 0 || bitmapHeight <= 0)
        return {};
    QImage out(bitmapWidth, bitmapHeight, QImage::Format_RGB32);
    QRect swatch(0, 0, bitmapWidth, bitmapHeight);
    if (swatchWidth != bitmapWidth || swatchHeight != bitmapHeight) {
        out.fill(ColorRefToRgb(MenuBackground()));
        swatch = QRect((bitmapWidth - swatchWidth) / 2, (bitmapHeight - swatchHeight) / 2, swatchWidth, swatchHeight);
    }
    QPainter p(&out);
    if (hatchStyle == -1) {
        FillRect(p, swatch, fill);
    } else {
        // A hatch brush paints its gaps in the context's background colour.
        p.fillRect(swatch, Qt::white);
        p.fillRect(swatch, QBrush(ColorRefToQColor(fill), HatchBrush(hatchStyle)));
    }
    Frame(p, swatch, border);
    return out;
}

bool VTMenu::SetCheckBitmaps(int normalId, int selectedId)
{
    if (normalId < 1 || selectedId < 1)
        return false;
    m_normalCheckId = normalId;
    m_selectedCheckId = selectedId;
    if (!m_checkImages || m_checkImagesShared) {
        m_checkImages = new MenuImageList;
        m_checkImagesShared = 0;
    }
    m_checkImages->Create(m_imageWidth, m_imageHeight);
    // Only the two pictures: the painters take index 0 and 1 of this list.
    g_skipVariants = true;
    const bool ok = AddImageToList(*m_checkImages, normalId) && AddImageToList(*m_checkImages, selectedId);
    g_skipVariants = false;
    if (!ok) {
        delete m_checkImages;
        m_checkImages = nullptr;
        return false;
    }
    return true;
}

bool VTMenu::LoadToolbarImages(int toolbarId)
{
    const ToolBarResource* toolbar = FindToolBar(toolbarId);
    if (!toolbar || LoadBitmapResource(toolbarId).isNull())
        return false;
    SetIconSize(std::max(m_imageWidth, toolbar->imageWidth), std::max(m_imageHeight, toolbar->imageHeight));
    MenuImageList temp(m_imageWidth, m_imageHeight);
    if (!AddImageToList(temp, toolbarId))
        return false;
    int image = 0;
    for (unsigned id : toolbar->ids) {
        if (id == 0)
            continue;
        int position = -1;
        if (FindCommandOwner(id, position))
            ModifyItem(QString(), id, &temp, image);
        ++image;
    }
    return true;
}

bool VTMenu::LoadToolbarsImages(const int* ids, int count)
{
    bool all = true;
    for (int i = 0; i < count; ++i)
        all = LoadToolbarImages(ids[i]) && all;
    return all;
}

int VTMenu::ImportToolbarBitmap(const std::vector<ToolBarButtonInfo>& buttons, int bitmapId)
{
    for (const ToolBarButtonInfo& button : buttons) {
        int position = -1;
        VTMenu* level = button.id ? FindCommandOwner(button.id, position) : nullptr;
        if (!level)
            continue;
        VTMenuItem* record = level->FindItemRecord(button.id);
        if (!record) {
            record = new VTMenuItem;
            record->text = ulv::GetMenuString(level->m_hMenu, UINT(position), MF_BYPOSITION);
            level->m_items.push_back(record);
        }
        record->ownImageMark = bitmapId;
        record->id = button.id;
        record->flags = MF_OWNERDRAW;
        record->imageIndex = button.image;
        record->ownImages = std::make_unique<MenuImageList>(m_imageWidth, m_imageHeight);
        if (!AddImageToList(*record->ownImages, bitmapId)) {
            record->ownImages.reset();
            record->ownImageMark = -1;
            record->imageIndex = -1;
        }
        ulv::ModifyMenu(level->m_hMenu, UINT(position), MF_BYPOSITION | MF_OWNERDRAW, button.id, record->text,
            PointerParam(record));
    }
    return int(buttons.size());
}

// ---- Looks.

COLORREF VTMenu::Lighten(COLORREF color, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return color;
    auto ch = [&](int c) { return int(c + factor * (255 - c)); };
    return Rgb(ch(GetRValue(color)), ch(GetGValue(color)), ch(GetBValue(color)));
}

COLORREF VTMenu::Darken(COLORREF color, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return color;
    auto ch = [&](int c) { return int(c - factor * c); };
    return Rgb(ch(GetRValue(color)), ch(GetGValue(color)), ch(GetBValue(color)));
}

void VTMenu::DrawRadioDot(QPainter& p, int left, int top, COLORREF color)
{
    p.save();
    p.setPen(ColorRefToQColor(color));
    p.setBrush(ColorRefToQColor(color));
    p.drawEllipse(QRect(left, top, 5, 5));
    p.restore();
}

void VTMenu::DrawCheckGlyph(QPainter& p, int x, int y, COLORREF color)
{
    static constexpr int kStart[7] = { 2, 3, 4, 3, 2, 1, 0 };
    for (int i = 0; i < 7; ++i)
        FillRect(p, QRect(x + i, y + kStart[i], 1, 3), color);
}

void VTMenu::DrawCheckBoxClassic(QPainter& p, const QRect& r, bool selected, bool radio)
{
    const COLORREF b = MenuBackground();
    FillRect(p, r, selected ? b : Lighten(b, 0.6));
    if (NewerShell())
        DrawEdge(p, r, BDR_SUNKENOUTER, BF_RECT);
    if (radio)
        DrawRadioDot(p, r.left() + 5, r.top() + 4, GetSysColor(COLOR_MENUTEXT));
    else
        DrawCheckGlyph(p, r.left() + 4, r.top() + 4, GetSysColor(COLOR_MENUTEXT));
}

void VTMenu::DrawCheckBoxFlat(QPainter& p, const QRect& r, bool radio, COLORREF frame)
{
    FillRect(p, r, Lighten(frame, 0.85));
    Frame(p, r, frame);
    if (radio)
        DrawRadioDot(p, r.left() + 5, r.top() + 4, GetSysColor(COLOR_MENUTEXT));
    else
        DrawCheckGlyph(p, r.left() + 5, r.top() + 4, GetSysColor(COLOR_MENUTEXT));
}

void VTMenu::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    const auto* record = reinterpret_cast<const VTMenuItem*>(mis ? mis->itemData : 0);
    if (!record)
        return;
    const int padding = Variants() ? 7 : 4;
    if (record->flags & MF_SEPARATOR) {
        mis->itemWidth = 0;
        mis->itemHeight = std::max((m_imageHeight + padding) / 2, GetSystemMetrics(SM_CYMENU) / 2);
        return;
    }
    const QFontMetrics fm(SystemMenuFont());
    const int textWidth = fm.horizontalAdvance(record->text);
    mis->itemWidth = textWidth + (FlatLook() ? m_imageWidth + padding + 8 : 2 * m_imageWidth + 1);
    mis->itemHeight = std::max(m_imageHeight + padding, GetSystemMetrics(SM_CYMENU));
}

const MenuImageList* VTMenu::PictureOf(const VTMenuItem* record, int& index) const
{
    if (record->ownImageMark >= 0 && record->ownImages && record->imageIndex >= 0
        && record->imageIndex < record->ownImages->Count()) {
        index = record->imageIndex;
        return record->ownImages.get();
    }
    if (record->sharedIndex >= 0 && record->sharedIndex < Shared().Count()) {
        index = record->sharedIndex;
        return &Shared();
    }
    index = -1;
    return nullptr;
}

bool VTMenu::RadioItem(const DRAWITEMSTRUCT* dis)
{
    // An item given a picture of its own for the checked state (the radio
    // mark of a radio command) shows its check as a dot.
    const auto* record = reinterpret_cast<const VTMenuItem*>(dis->itemData);
    HBITMAP checked = nullptr;
    return record && dis->hwndItem && GetMenuItemCheckMarks(dis->hwndItem, UINT(record->id), MF_BYCOMMAND, nullptr, &checked)
        && checked;
}

bool VTMenu::PaletteDevice(const QPainter& p)
{
    // A display of 256 colours or fewer works through a palette.
    return p.device() && p.device()->depth() <= 8;
}

void VTMenu::DrawItem(DRAWITEMSTRUCT* dis)
{
    if (!dis || !dis->hDC || !dis->itemData)
        return;
    dis->hDC->save();
    dis->hDC->setFont(SystemMenuFont());
    if (PaletteDevice(*dis->hDC) || DrawStyle() != 1)
        DrawItemClassic(dis);
    else
        DrawItemFlat(dis);
    dis->hDC->restore();
}

void VTMenu::DrawDisabledPicture(QPainter& p, const MenuImageList& list, int index, int x, int y, COLORREF bg) const
{
    const QImage over = MakeImageBitmap(list, index);
    if (m_monochromeEmboss)
        DrawEmbossedMonochrome(p, x, y, over.width(), over.height(), over, 0, 0, bg);
    else
        DrawEmbossedMask(p, x, y, over.width(), over.height(), over, 0, 0, bg);
}

void VTMenu::DrawItemClassic(DRAWITEMSTRUCT* dis)
{
    QPainter& p = *dis->hDC;
    const auto* record = reinterpret_cast<const VTMenuItem*>(dis->itemData);
    const QRect r = dis->rcItem;
    const COLORREF b = MenuBackground();
    const bool grayed = dis->itemState & ODS_GRAYED;
    const bool selected = (dis->itemState & ODS_SELECTED) && (!grayed || s_selectDisabledClassic);
    const bool checked = dis->itemState & ODS_CHECKED;
    if (record->flags & MF_SEPARATOR) {
        FillRect(p, r, b);
        DrawEdge(p, QRect(r.left(), r.top() + r.height() / 2, r.width(), r.height() - r.height() / 2), EDGE_ETCHED,
            BF_TOP);
        return;
    }
    int index = -1;
    const MenuImageList* list = PictureOf(record, index);
    const bool checkPicture = checked && !list && m_checkImages && m_checkImages->Count() >= 2
        && (selected ? m_selectedCheckId > 0 : m_normalCheckId > 0);
    const bool selectedPicture = list && selected && !grayed;
    const int iw = m_imageWidth, ih = m_imageHeight;
    COLORREF textColour = GetSysColor(COLOR_MENUTEXT);
    FillRect(p, r, b);
    if (selected) {
        const int from = (list || checkPicture || checked) ? r.left() + iw + 5 : r.left();
        FillRect(p, QRect(from, r.top(), r.right() + 1 - from, r.height()), GetSysColor(COLOR_HIGHLIGHT));
        textColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    const int e = std::max(0, (r.height() - ih - 4) / 2);
    const int px = r.left() + 2, py = r.top() + e + 2;
    const QRect box(r.left(), r.top() + e, iw + 4, ih + 4);
    if (checkPicture) {
        FillRect(p, box, b);
        m_checkImages->Draw(p, selected ? 1 : 0, px, py);
    } else if (list && grayed && !selectedPicture) {
        DrawDisabledPicture(p, *list, index, px, py, b);
    } else if (selectedPicture) {
        FillRect(p, box, b);
        if (NewerShell()) {
            if (checked)
                Draw3dRect(p, box, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            else
                Draw3dRect(p, box, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        }
        list->Draw(p, index, px, py);
    } else if (list) {
        if (checked) {
            FillRect(p, box, Lighten(b, 0.6));
            if (NewerShell())
                Draw3dRect(p, box, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        } else {
            FillRect(p, box, b);
        }
        list->Draw(p, index, px, py);
    }
    if (checked && !list && !checkPicture)
        DrawCheckBoxClassic(p, QRect(r.left() + 1, r.top() + e + 2, iw, ih), selected, RadioItem(dis));
    QString label, accel;
    SplitText(record->text, label, accel);
    QRect text(r.left() + iw + 9, r.top() - 1, r.right() + 1 - (r.left() + iw + 9), r.height());
    if (record->text.contains(QLatin1Char('\t')))
        text.setRight(text.right() - iw);
    if (!grayed) {
        TextOut(p, text, Qt::AlignLeft, label, textColour);
        if (!accel.isEmpty())
            TextOut(p, text, Qt::AlignRight, accel, textColour);
    } else if (selected) {
        TextOut(p, text, Qt::AlignLeft, label, b);
        if (!accel.isEmpty())
            TextOut(p, text, Qt::AlignRight, accel, b);
    } else {
        TextOut(p, text.translated(1, 1), Qt::AlignLeft, label, GetSysColor(COLOR_BTNHIGHLIGHT));
        if (!accel.isEmpty())
            TextOut(p, text.translated(1, 1), Qt::AlignRight, accel, GetSysColor(COLOR_BTNHIGHLIGHT));
        TextOut(p, text, Qt::AlignLeft, label, GetSysColor(COLOR_GRAYTEXT));
        if (!accel.isEmpty())
            TextOut(p, text, Qt::AlignRight, accel, GetSysColor(COLOR_GRAYTEXT));
    }
}

void VTMenu::DrawItemFlat(DRAWITEMSTRUCT* dis)
{
    QPainter& p = *dis->hDC;
    const auto* record = reinterpret_cast<const VTMenuItem*>(dis->itemData);
    const QRect r = dis->rcItem;
    const int padding = Variants() ? 7 : 4;
    const int w = padding + m_imageWidth;
    const int iw = m_imageWidth, ih = m_imageHeight;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (!ThemedXp())
        face = Lighten(face, 0.25);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF selectionFill = Lighten(highlight, ThemedXp() ? 0.7 : 0.85);
    const bool grayed = dis->itemState & ODS_GRAYED;
    const bool selected = (dis->itemState & ODS_SELECTED) && (!grayed || s_selectDisabledFlat);
    const bool checked = dis->itemState & ODS_CHECKED;
    const QRect column(r.left(), r.top(), w, r.height());
    if (record->flags & MF_SEPARATOR) {
        FillRect(p, r, window);
        FillRect(p, column, face);
        const int from = r.left() + w + padding;
        DrawEdge(p, QRect(from, r.top() + r.height() / 2, r.right() + 1 - from, r.height() - r.height() / 2),
            EDGE_ETCHED, BF_TOP);
        return;
    }
    int index = -1;
    const MenuImageList* list = PictureOf(record, index);
    int faded = -1, shadow = -1;
    if (list == record->ownImages.get() && list && list->Count() > 2 && index == 0) {
        faded = 1;
        shadow = 2;
    } else if (list == &Shared() && HasImageVariants(index)) {
        faded = index + 1;
        shadow = index + 2;
    }
    const bool checkPicture = checked && !list && m_checkImages && m_checkImages->Count() >= 2
        && (selected ? m_selectedCheckId > 0 : m_normalCheckId > 0);
    if (!selected) {
        FillRect(p, r, window);
        FillRect(p, column, face);
    } else {
        FillRect(p, r, selectionFill);
        Frame(p, r, highlight);
    }
    const int x = std::max(0, (w - iw + 1) / 2);
    const int y = std::max(0, (r.height() - ih + 1) / 2);
    const int lx = r.left() + x, ly = r.top() + y;
    const QRect box(r.left() + 1, r.top() + 1, w - 2, r.height() - 2);
    if (checkPicture) {
        FillRect(p, box, face);
        m_checkImages->Draw(p, selected ? 1 : 0, lx, ly);
    } else if (list && grayed) {
        DrawDisabledPicture(p, *list, index, lx, ly, face);
    } else if (list && selected) {
        FillRect(p, box, selectionFill);
        if (checked) {
            Frame(p, box, highlight);
            list->Draw(p, index, lx - 1, ly - 1);
        } else if (shadow >= 0) {
            list->Draw(p, shadow, lx + 1, ly + 1);
            list->Draw(p, index, lx - 1, ly - 1);
        } else {
            list->Draw(p, index, lx, ly);
        }
    } else if (list && checked) {
        FillRect(p, box, Lighten(highlight, 0.85));
        Frame(p, box, highlight);
        list->Draw(p, index, lx - 1, ly - 1);
    } else if (list) {
        FillRect(p, box, face);
        list->Draw(p, faded >= 0 ? faded : index, lx, ly);
    }
    if (checked && !list && !checkPicture) {
        const QRect check(
            r.left() + std::max(0, (w - 16 + 1) / 2), r.top() + std::max(0, (r.height() - 16 + 1) / 2), 16, 16);
        DrawCheckBoxFlat(p, check, RadioItem(dis), highlight);
    }
    QString label, accel;
    SplitText(record->text, label, accel);
    const int left = r.left() + w + 8;
    QRect text(left, r.top() - 1, r.right() + 1 - left, r.height());
    if (record->text.contains(QLatin1Char('\t')))
        text.setRight(text.right() - iw);
    COLORREF colour = GetSysColor(COLOR_MENUTEXT);
    if (grayed)
        colour = ThemedXp() ? GetSysColor(COLOR_GRAYTEXT) : Lighten(GetSysColor(COLOR_GRAYTEXT), 0.4);
    TextOut(p, text, Qt::AlignLeft, label, colour);
    if (!accel.isEmpty())
        TextOut(p, text, Qt::AlignRight, accel, colour);
}

} // namespace ulv
