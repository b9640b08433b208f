#include "ui/chrome/CGfxOutBarCtrl.h"

#include "shell/core/SysParams.h"
#include "ui/chrome/CIconMenu.h"
#include "ui/chrome/COutBarEdit.h"
#include "ui/chrome/WinMenu.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <tuple>

namespace ulv {

namespace {

constexpr int kSmallTextGap = 4;
constexpr int kLargeTextGap = 3;
constexpr int kSmallSpacing = 10;
constexpr int kLargeSpacing = 8;
constexpr int kItemOffset = 5;
constexpr int kArrowMs = 300;

QColor Col(COLORREF c)
{
    return ColorRefToQColor(c);
}

} // namespace

CGfxOutBarCtrl::CGfxOutBarCtrl(QWidget* parent)
    : QWidget(parent)
    , m_crBackground(g_sysParams.LeftBarColor())
    , m_font(LogFont(QStringLiteral("Arial Unicode MS"), -11, 500))
{
    setFont(m_font);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_arrowTimer.setInterval(kArrowMs);
    connect(&m_arrowTimer, &QTimer::timeout, this, &CGfxOutBarCtrl::OnArrowTimer);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CGfxOutBarCtrl::OnBlinkTimer);
    connect(&m_animTimer, &QTimer::timeout, this, &CGfxOutBarCtrl::OnAnimTimer);
}

CGfxOutBarCtrl::~CGfxOutBarCtrl()
{
    // An open in-place edit would report its text from the focus change the
    // base destructor makes, after this part of the bar is gone.
    if (m_edit) {
        m_edit->Abandon();
        delete m_edit.data();
    }
}

COutBarEdit* CGfxOutBarCtrl::ActiveEdit() const
{
    return m_edit;
}

bool CGfxOutBarCtrl::Create(unsigned /*style*/, const QRect& rect, QWidget* parent, int id, unsigned flags)
{
    if (!parent)
        return false;
    setParent(parent);
    setGeometry(rect);
    m_id = id;
    m_dwFlags = flags;
    show();
    return true;
}

void CGfxOutBarCtrl::ModifyFlags(unsigned remove, unsigned add, bool recalcFrame)
{
    m_dwFlags = (m_dwFlags & ~remove) | add;
    if (recalcFrame)
        updateGeometry();
    update();
}

long CGfxOutBarCtrl::Notify(int code, const OutBarNotify& note)
{
    // Without an owner to ask, the user's rename or move stands.
    return m_notify ? m_notify(code, note) : 1;
}

int CGfxOutBarCtrl::AddFolder(const QString& name, long data)
{
    Folder f;
    f.name = name;
    f.data = data;
    m_folders.push_back(std::move(f));
    update();
    return GetFolderCount() - 1;
}

int CGfxOutBarCtrl::AddFolderBar(const QString& name, QWidget* child, long data)
{
    const int index = AddFolder(name, data);
    m_folders.back().child = child;
    if (child) {
        child->setParent(this);
        if (index == GetSelFolder()) {
            child->setGeometry(GetInsideRect());
            child->show();
        } else {
            child->hide();
        }
    }
    return index;
}

int CGfxOutBarCtrl::InsertItem(int folder, int index, const QString& text, int image, long data)
{
    if (folder < 0 || folder >= GetFolderCount())
        return -1;
    auto& items = m_folders[size_t(folder)].items;
    if (index < 0 || index > int(items.size()))
        index = int(items.size());
    items.insert(items.begin() + index, Item{image, text, data});
    update();
    return index;
}

const CGfxOutBarCtrl::ImageList* CGfxOutBarCtrl::SetImageList(const ImageList* list, int kind)
{
    const ImageList*& slot = kind == fSmallIconList ? m_small : m_large;
    const ImageList* old = slot;
    slot = list;
    update();
    return old;
}

const CGfxOutBarCtrl::ImageList* CGfxOutBarCtrl::GetImageList(int kind) const
{
    return kind == fSmallIconList ? m_small : m_large;
}

const CGfxOutBarCtrl::ImageList* CGfxOutBarCtrl::SetFolderImageList(int folder, const ImageList* list, int kind)
{
    if (folder < 0 || folder >= GetFolderCount())
        return nullptr;
    Folder& f = m_folders[size_t(folder)];
    const ImageList*& slot = kind == fSmallIconList ? f.small : f.large;
    const ImageList* old = slot;
    slot = list;
    update();
    return old;
}

int CGfxOutBarCtrl::GetSelFolder() const
{
    // The bar starts with the second folder open; with fewer folders the
    // last one there is stands in.
    if (m_folders.empty())
        return -1;
    return std::clamp(m_nSelFolder, 0, GetFolderCount() - 1);
}

const CGfxOutBarCtrl::Folder* CGfxOutBarCtrl::Open() const
{
    const int s = GetSelFolder();
    return s < 0 ? nullptr : &m_folders[size_t(s)];
}

CGfxOutBarCtrl::Folder* CGfxOutBarCtrl::Open()
{
    const int s = GetSelFolder();
    return s < 0 ? nullptr : &m_folders[size_t(s)];
}

int CGfxOutBarCtrl::GetItemCount() const
{
    const Folder* f = Open();
    return f ? int(f->items.size()) : 0;
}

QWidget* CGfxOutBarCtrl::GetFolderChild(int index) const
{
    if (index < 0)
        index = GetSelFolder();
    if (index < 0 || index >= GetFolderCount())
        return nullptr;
    return m_folders[size_t(index)].child;
}

long CGfxOutBarCtrl::GetFolderData(int index) const
{
    if (index < 0)
        index = GetSelFolder();
    if (index < 0 || index >= GetFolderCount())
        return 0;
    return m_folders[size_t(index)].data;
}

QString CGfxOutBarCtrl::GetFolderText(int index) const
{
    if (index < 0 || index >= GetFolderCount())
        return {};
    return m_folders[size_t(index)].name;
}

QString CGfxOutBarCtrl::GetItemText(int index) const
{
    const Folder* f = Open();
    if (!f || index < 0 || index >= int(f->items.size()))
        return {};
    return f->items[size_t(index)].text;
}

long CGfxOutBarCtrl::GetItemData(int index) const
{
    const Folder* f = Open();
    if (!f || index < 0 || index >= int(f->items.size()))
        return 0;
    return f->items[size_t(index)].data;
}

int CGfxOutBarCtrl::GetItemImage(int index) const
{
    const Folder* f = Open();
    if (!f || index < 0 || index >= int(f->items.size()))
        return 0;
    return f->items[size_t(index)].image;
}

void CGfxOutBarCtrl::SetItemData(int index, long data)
{
    Folder* f = Open();
    if (f && index >= 0 && index < int(f->items.size()))
        f->items[size_t(index)].data = data;
}

void CGfxOutBarCtrl::SetItemImage(int index, int image)
{
    Folder* f = Open();
    if (f && index >= 0 && index < int(f->items.size())) {
        f->items[size_t(index)].image = image;
        update();
    }
}

void CGfxOutBarCtrl::SetSmallIconView(bool small)
{
    m_nFirstItem = 0;
    if (small == IsSmallIconView())
        return;
    m_dwFlags = small ? (m_dwFlags | fSmallIcon) : (m_dwFlags & ~fSmallIcon);
    update();
}

// ---- Geometry

QRect CGfxOutBarCtrl::GetFolderRect(int index) const
{
    const int n = GetFolderCount();
    const int s = GetSelFolder();
    const int h = kHeaderHeight;
    if (index < 0 || index >= n)
        return {};
    if (index <= s)
        return QRect(0, index * h - 1, width(), h);
    return QRect(0, height() - h * (n - index), width(), h);
}

QRect CGfxOutBarCtrl::GetInsideRect() const
{
    const int n = GetFolderCount();
    if (n == 0)
        return rect();
    const int s = GetSelFolder();
    const int top = (s + 1) * kHeaderHeight - 1;
    const int bottom = height() - (n - s - 1) * kHeaderHeight;
    return QRect(0, top, width(), std::max(0, bottom - top));
}

QSize CGfxOutBarCtrl::ImageSize(const Folder& f) const
{
    const bool small = IsSmallIconView();
    const ImageList* list = small ? (f.small ? f.small : m_small) : (f.large ? f.large : m_large);
    if (!list || list->empty())
        return {};
    return list->front().size();
}

QSize CGfxOutBarCtrl::ItemSize(int index) const
{
    const Folder* f = Open();
    if (!f || index < 0 || index >= int(f->items.size()))
        return {};
    const QSize image = ImageSize(*f);
    const QFontMetrics fm(m_font);
    const QString& text = f->items[size_t(index)].text;
    if (IsSmallIconView()) {
        const QSize caption(fm.horizontalAdvance(text), fm.height());
        return {caption.width() + kSmallTextGap + image.width(), std::max(caption.height(), image.height())};
    }
    const QRect caption = fm.boundingRect(
        QRect(0, 0, std::max(1, GetInsideRect().width()), 10000), Qt::AlignHCenter | Qt::TextWordWrap, text);
    return {std::max(caption.width(), image.width()), 8 + kLargeTextGap + caption.height() + image.height()};
}

QRect CGfxOutBarCtrl::GetItemRect(int index) const
{
    const QRect inside = GetInsideRect();
    const int spacing = IsSmallIconView() ? kSmallSpacing : kLargeSpacing;
    int y = inside.top() + kItemOffset;
    for (int i = 0; i < m_nFirstItem; ++i)
        y -= ItemSize(i).height() + spacing;
    for (int i = 0; i < index; ++i)
        y += ItemSize(i).height() + spacing;
    const QSize size = ItemSize(index);
    if (IsSmallIconView())
        return QRect(inside.left() + kItemOffset, y, size.width(), size.height());
    return QRect(inside.left() + kItemOffset, y, inside.width() - 2 * kItemOffset, size.height());
}

void CGfxOutBarCtrl::GetIconRect(int index, QRect* image, QRect* caption) const
{
    const Folder* f = Open();
    if (!f)
        return;
    const QRect item = GetItemRect(index);
    const QSize img = ImageSize(*f);
    const QRect inside = GetInsideRect();
    if (IsSmallIconView()) {
        const QRect ir(item.left() + 2, item.top() + (item.height() - img.height()) / 2, img.width(), img.height());
        if (image)
            *image = ir;
        if (caption)
            *caption = QRect(ir.right() + 1 + kSmallTextGap, item.top(),
                std::max(0, item.width() - img.width() - kSmallTextGap + 2), item.height());
        return;
    }
    const QRect ir(inside.center().x() - img.width() / 2, item.top(), img.width(), img.height());
    if (image)
        *image = ir;
    if (caption)
        *caption = QRect(inside.left(), ir.bottom() + 1 + kLargeTextGap, inside.width(),
            std::max(0, item.bottom() - ir.bottom() - kLargeTextGap));
}

int CGfxOutBarCtrl::LastVisibleItem(bool* lastCut) const
{
    const QRect inside = GetInsideRect();
    int last = -1;
    if (lastCut)
        *lastCut = false;
    for (int i = m_nFirstItem; i < GetItemCount(); ++i) {
        const QRect r = GetItemRect(i);
        if (r.top() > inside.bottom())
            break;
        last = i;
        if (lastCut)
            *lastCut = r.bottom() > inside.bottom();
    }
    return last;
}

void CGfxOutBarCtrl::UpdateArrows()
{
    const Folder* f = Open();
    const QRect inside = GetInsideRect();
    const int sx = GetSystemMetrics(SM_CXVSCROLL);
    m_bUpArrow = m_bDownArrow = false;
    if (!f || f->child)
        return;
    bool cut = false;
    const int last = LastVisibleItem(&cut);
    m_bUpArrow = m_nFirstItem > 0;
    m_bDownArrow = GetItemCount() > 0 && (last < GetItemCount() - 1 || cut);
    m_rcUpArrow = QRect(inside.right() + 1 - sx - 5, inside.top() + 5, sx, sx);
    m_rcDownArrow = QRect(inside.right() + 1 - sx - 5, inside.bottom() + 1 - sx - 5, sx, sx);
}

int CGfxOutBarCtrl::HitTest(const QPoint& point, int* index) const
{
    const_cast<CGfxOutBarCtrl*>(this)->UpdateArrows();
    if (index)
        *index = -1;
    if (m_bUpArrow && m_rcUpArrow.contains(point))
        return htUpScroll;
    if (m_bDownArrow && m_rcDownArrow.contains(point))
        return htDownScroll;
    for (int i = 0; i < GetFolderCount(); ++i) {
        if (GetFolderRect(i).contains(point)) {
            if (index)
                *index = i;
            return htFolder;
        }
    }
    const QRect inside = GetInsideRect();
    const Folder* f = Open();
    if (!f || f->child || !inside.contains(point))
        return htNothing;
    const int last = LastVisibleItem(nullptr);
    for (int i = m_nFirstItem; i <= last; ++i) {
        QRect image, caption;
        GetIconRect(i, &image, &caption);
        const bool on = IsSmallIconView() ? GetItemRect(i).contains(point)
                                          : (image.contains(point) || caption.contains(point));
        if (on) {
            if (index)
                *index = i;
            return htItem;
        }
    }
    return htNothing;
}

// ---- Folders and items

void CGfxOutBarCtrl::SetSelFolder(int index)
{
    if (index < 0 || index >= GetFolderCount())
        return;
    const int old = GetSelFolder();
    if (QWidget* child = GetFolderChild(old))
        child->hide();
    const bool animate = index != old && (m_dwFlags & fAnimation) && m_nAnimationTickCount >= 0 && isVisible();
    if (animate) {
        m_animOld = grab(GetInsideRect());
        m_animFrom = GetInsideRect().top();
    }
    m_nSelFolder = index;
    m_nFirstItem = 0;
    m_nSelItem = -1;
    m_nHotItem = -1;
    if (QWidget* child = GetFolderChild(index)) {
        child->setGeometry(GetInsideRect());
        child->show();
    }
    if (animate) {
        m_animTo = GetInsideRect().top();
        m_animStep = 0;
        m_animTimer.start(std::max(1, m_nAnimationTickCount));
    }
    Notify(NM_FOLDERCHANGE, OutBarNotify{index, {}, -1, -1});
    update();
}

void CGfxOutBarCtrl::OnAnimTimer()
{
    // The boundary between old and new content moves one header per step.
    ++m_animStep;
    if (m_animStep * kHeaderHeight >= std::abs(m_animTo - m_animFrom) + GetInsideRect().height()) {
        m_animTimer.stop();
        m_animOld = QPixmap();
    }
    update();
}

void CGfxOutBarCtrl::RemoveFolder(int index)
{
    if (index < 0 || index >= GetFolderCount())
        return;
    if (m_bConfirmFolderDeletion
        && QMessageBox::question(this, QStringLiteral("提示信息..."), QStringLiteral("您确认要删除该目录吗(Y/N)?"),
               QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
        return;
    const int open = GetSelFolder();
    if (QWidget* child = m_folders[size_t(index)].child)
        child->close();
    m_folders.erase(m_folders.begin() + index);
    int s = open >= index ? open - 1 : open;
    if (s < 0 && !m_folders.empty())
        s = 0;
    m_nSelFolder = s;
    if (s >= 0) {
        const unsigned flags = m_dwFlags;
        m_dwFlags &= ~fAnimation;
        SetSelFolder(s);
        m_dwFlags = flags;
    }
    update();
}

void CGfxOutBarCtrl::RemoveItem(int index)
{
    Folder* f = Open();
    if (!f || index < 0 || index >= int(f->items.size()))
        return;
    f->items.erase(f->items.begin() + index);
    if (m_nSelItem == index)
        m_nSelItem = -1;
    else if (m_nSelItem > index)
        --m_nSelItem;
    update();
}

void CGfxOutBarCtrl::MoveItem(int from, int to)
{
    Folder* f = Open();
    if (!f || from < 0 || from >= int(f->items.size()))
        return;
    if (to > from)
        --to; // the item leaves its place first
    to = std::clamp(to, 0, int(f->items.size()) - 1);
    Item moved = f->items[size_t(from)];
    f->items.erase(f->items.begin() + from);
    f->items.insert(f->items.begin() + to, moved);
    m_nSelItem = -1;
}

void CGfxOutBarCtrl::SetEditGeometry(COutBarEdit* edit, const QRect& r)
{
    edit->setGeometry(r);
    edit->show();
    edit->setFocus();
    edit->selectAll();
    m_edit = edit;
}

void CGfxOutBarCtrl::StartFolderRename(int index)
{
    if (index < 0 || index >= GetFolderCount())
        return;
    auto* edit = new COutBarEdit(this, COutBarEdit::kFolder, index, 0);
    edit->setText(m_folders[size_t(index)].name);
    SetEditGeometry(edit, GetFolderRect(index).adjusted(2, 2, -2, -2));
}

void CGfxOutBarCtrl::StartItemRename(int index)
{
    if (index < 0 || index >= GetItemCount())
        return;
    QRect image, caption;
    GetIconRect(index, &image, &caption);
    const QFontMetrics fm(m_font);
    QRect r;
    int grow = 0;
    if (IsSmallIconView()) {
        grow = 1;
        r = QRect(caption.left(), caption.top() + (caption.height() - fm.height()) / 2 - 3,
            std::max(caption.width(), 20), fm.height() + 6);
    } else {
        const QRect inside = GetInsideRect();
        r = QRect(inside.left() + 5, caption.top(), inside.width() - 10, caption.height() + 5);
    }
    auto* edit = new COutBarEdit(this, COutBarEdit::kItem, index, grow);
    edit->setText(GetItemText(index));
    SetEditGeometry(edit, r);
}

void CGfxOutBarCtrl::OnEditEnd(COutBarEdit* edit)
{
    const OutBarNotify note{edit->m_iIndex, edit->text(), GetSelFolder(), -1};
    if (edit->m_iType == COutBarEdit::kFolder) {
        if (note.index < GetFolderCount() && Notify(NM_OB_ONGROUPENDEDIT, note))
            m_folders[size_t(note.index)].name = note.text;
    } else {
        Folder* f = Open();
        if (f && note.index < int(f->items.size()) && Notify(NM_OB_ONLABELENDEDIT, note))
            f->items[size_t(note.index)].text = note.text;
    }
    update();
}

void CGfxOutBarCtrl::SetAnimSelHighlight(int intervalMs)
{
    m_nAnimSelInterval = intervalMs;
    if (intervalMs > 0)
        m_blinkTimer.start(intervalMs);
    else
        m_blinkTimer.stop();
}

void CGfxOutBarCtrl::OnBlinkTimer()
{
    if (m_nSelItem < 0)
        return;
    if (++m_nAnimSelStep > 10)
        m_nAnimSelStep = -1;
    update(GetInsideRect());
}

// ---- Painting

void CGfxOutBarCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Folder* f = Open();
    const QRect inside = GetInsideRect();
    if (!f || !f->child)
        p.fillRect(inside, Col(m_crBackground));
    PaintHeaders(p);
    if (!f)
        return;
    if (!f->child) {
        UpdateArrows();
        PaintContent(p, GetSelFolder(), inside);
    }
    if (!m_animOld.isNull()) {
        // The old content gives way one header height per step.
        const int shown = std::max(0, m_animOld.height() - m_animStep * kHeaderHeight);
        if (m_animTo < m_animFrom) // the boundary moves up: old content leaves upwards
            p.drawPixmap(QPoint(0, inside.top()), m_animOld, QRect(0, m_animOld.height() - shown, m_animOld.width(), shown));
        else
            p.drawPixmap(QPoint(0, inside.bottom() + 1 - shown), m_animOld, QRect(0, 0, m_animOld.width(), shown));
    }
}

void CGfxOutBarCtrl::PaintHeaders(QPainter& p)
{
    p.setFont(m_font);
    for (int i = 0; i < GetFolderCount(); ++i) {
        const QRect r = GetFolderRect(i);
        p.setPen(Col(kShadow));
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        const QRect frame = r.adjusted(0, 1, 0, 0);
        p.fillRect(frame, QColor(SysRgb(COLOR_BTNFACE)));
        if (i == m_nHotFolder)
            Draw3dRect(p, frame, kDarkFrame, kShadow);
        else
            Draw3dRect(p, frame, GetSysColor(COLOR_BTNHIGHLIGHT), kShadow);
        p.setPen(Qt::black);
        p.drawText(frame, Qt::AlignCenter | Qt::TextSingleLine, m_folders[size_t(i)].name);
    }
}

void CGfxOutBarCtrl::PaintContent(QPainter& p, int folder, const QRect& inside)
{
    p.save();
    p.setClipRect(inside);
    const int last = LastVisibleItem(nullptr);
    for (int i = m_nFirstItem; i <= last; ++i)
        DrawItem(p, folder, i);
    for (const auto& [shown, rect, pressed, up] :
        {std::tuple{m_bUpArrow, m_rcUpArrow, m_bUpPressed, true},
            std::tuple{m_bDownArrow, m_rcDownArrow, m_bDownPressed, false}}) {
        if (!shown)
            continue;
        DrawEdge(p, rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
        const QPoint c = rect.center() + (pressed ? QPoint(1, 1) : QPoint());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        QPolygon arrow;
        if (up)
            arrow << QPoint(c.x() - 3, c.y() + 2) << QPoint(c.x() + 3, c.y() + 2) << QPoint(c.x(), c.y() - 1);
        else
            arrow << QPoint(c.x() - 3, c.y() - 1) << QPoint(c.x() + 3, c.y() - 1) << QPoint(c.x(), c.y() + 2);
        p.drawPolygon(arrow);
        p.setBrush(Qt::NoBrush);
    }
    if (m_bDragging)
        DrawDropMarker(p);
    p.restore();
}

void CGfxOutBarCtrl::DrawItem(QPainter& p, int folder, int index)
{
    const Folder& f = m_folders[size_t(folder)];
    const Item& item = f.items[size_t(index)];
    QRect image, caption;
    GetIconRect(index, &image, &caption);
    const bool small = IsSmallIconView();
    const ImageList* list = small ? (f.small ? f.small : m_small) : (f.large ? f.large : m_large);
    QPoint shift;
    if (index == m_nSelItem && m_blinkTimer.isActive()) {
        static const QPoint steps[4] = {{-1, 1}, {0, 0}, {1, 1}, {0, 0}};
        if (m_nAnimSelStep >= 0 && m_nAnimSelStep <= 3)
            shift = steps[m_nAnimSelStep];
    }
    if (list && item.image >= 0 && item.image < int(list->size()))
        p.drawPixmap(image.topLeft() + shift, (*list)[size_t(item.image)]);
    p.setPen(Col(m_crText));
    p.setFont(m_font);
    if (small)
        p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item.text);
    else
        p.drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, item.text);
    const QRect frame = image.adjusted(-1, -1, 1, 1);
    if (index == m_nSelItem && (m_dwFlags & fSelHighlight))
        Draw3dRect(p, frame, kDarkFrame, kFace);
    if (index == m_nHotItem && folder == GetSelFolder()) {
        if (m_bItemPressed && index == m_nPressedItem)
            Draw3dRect(p, frame, kDarkFrame, GetSysColor(COLOR_BTNHIGHLIGHT));
        else
            Draw3dRect(p, frame, GetSysColor(COLOR_BTNHIGHLIGHT), kDarkFrame);
    }
}

void CGfxOutBarCtrl::DrawDropMarker(QPainter& p) const
{
    if (m_nDropTarget < 0)
        return;
    const QRect inside = GetInsideRect();
    int y;
    if (m_nDropTarget >= GetItemCount())
        y = GetItemRect(GetItemCount() - 1).bottom() + 6;
    else if (m_nDropTarget == 0)
        y = GetItemRect(0).top() - 2;
    else
        y = GetItemRect(m_nDropTarget).top() - (IsSmallIconView() ? 5 : 13);
    p.setPen(QPen(Qt::black, 1));
    const int left = inside.left() + 2;
    const int right = inside.right() - 2;
    p.drawLine(left, y, right, y);
    const bool below = m_nDropTarget < GetItemCount();
    const bool above = m_nDropTarget > 0;
    for (int i = 1; i <= 4; ++i) {
        const int len = 8 - 2 * i;
        if (below) {
            p.drawLine(left, y + i, left + len, y + i);
            p.drawLine(right - len, y + i, right, y + i);
        }
        if (above) {
            p.drawLine(left, y - i, left + len, y - i);
            p.drawLine(right - len, y - i, right, y - i);
        }
    }
}

// ---- Mouse

void CGfxOutBarCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    int index = -1;
    const int hit = HitTest(pos, &index);
    if (m_bItemPressed) {
        const bool onPressed = hit == htItem && index == m_nPressedItem;
        if (!onPressed && (m_dwFlags & fDragItems))
            m_bDragging = true;
        if (m_bDragging) {
            int target = -1;
            if (hit == htItem) {
                target = index;
            } else if (GetInsideRect().contains(pos) && GetItemCount() > 0
                && pos.y() > GetItemRect(GetItemCount() - 1).bottom()) {
                target = GetItemCount();
            }
            m_nDropTarget = target;
            setCursor(target >= 0 ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
        }
        m_nHotItem = onPressed ? m_nPressedItem : -1;
        update();
        return;
    }
    if (m_nArrowTracking != htNothing) {
        const bool on = hit == m_nArrowTracking;
        (m_nArrowTracking == htUpScroll ? m_bUpPressed : m_bDownPressed) = on;
        update();
        return;
    }
    const int hotFolder = hit == htFolder ? index : -1;
    const int hotItem = hit == htItem ? index : -1;
    if (hotFolder != m_nHotFolder || hotItem != m_nHotItem) {
        m_nHotFolder = hotFolder;
        m_nHotItem = hotItem;
        update();
    }
    if (hit == htFolder)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

// The hot header or item is cleared by the leave event: no timer asks where
// the pointer is while it rests.
void CGfxOutBarCtrl::leaveEvent(QEvent*)
{
    if (m_bItemPressed || m_nArrowTracking != htNothing)
        return;
    m_nHotFolder = m_nHotItem = -1;
    unsetCursor();
    update();
}

void CGfxOutBarCtrl::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    int index = -1;
    const int hit = HitTest(event->position().toPoint(), &index);
    if (hit == htUpScroll || hit == htDownScroll) {
        m_nArrowTracking = hit;
        (hit == htUpScroll ? m_bUpPressed : m_bDownPressed) = true;
        m_arrowTimer.start();
        update();
    } else if (hit == htItem) {
        m_bItemPressed = true;
        m_bDragging = false;
        m_nPressedItem = index;
        m_nHotItem = index;
        m_nDropTarget = -1;
        update();
    }
}

void CGfxOutBarCtrl::OnArrowTimer()
{
    const bool down = m_nArrowTracking == htDownScroll;
    const bool pressed = down ? m_bDownPressed : m_bUpPressed;
    if (!pressed)
        return;
    UpdateArrows();
    if (down && m_bDownArrow)
        ++m_nFirstItem;
    else if (!down && m_nFirstItem > 0)
        --m_nFirstItem;
    update();
}

void CGfxOutBarCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    int index = -1;
    const int hit = HitTest(pos, &index);
    if (m_nArrowTracking != htNothing) {
        if (hit == m_nArrowTracking) {
            m_bUpPressed = m_bDownPressed = true; // one more step
            OnArrowTimer();
        }
        m_arrowTimer.stop();
        m_nArrowTracking = htNothing;
        m_bUpPressed = m_bDownPressed = false;
        UpdateArrows();
        update();
        return;
    }
    if (m_bItemPressed) {
        const int source = m_nPressedItem;
        m_bItemPressed = false;
        unsetCursor();
        if (m_bDragging) {
            m_bDragging = false;
            const int target = m_nDropTarget;
            m_nDropTarget = -1;
            if (target >= 0 && target != source) {
                const OutBarNotify note{target, {}, GetSelFolder(), source};
                if (Notify(NM_OB_DRAGITEM, note))
                    MoveItem(source, target);
            }
        } else if (hit == htItem && index == source) {
            m_nSelItem = index;
            m_nAnimSelStep = 0;
            Notify(NM_OB_ITEMCLICK, OutBarNotify{index, {}, GetSelFolder(), -1});
        }
        update();
        return;
    }
    // A click on a header opens that folder.
    if (hit == htFolder && index != GetSelFolder())
        SetSelFolder(index);
}

void CGfxOutBarCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && (m_bItemPressed || m_nArrowTracking != htNothing)) {
        m_bItemPressed = m_bDragging = false;
        m_nDropTarget = -1;
        m_arrowTimer.stop();
        m_nArrowTracking = htNothing;
        m_bUpPressed = m_bDownPressed = false;
        unsetCursor();
        update();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CGfxOutBarCtrl::resizeEvent(QResizeEvent*)
{
    m_bUpArrow = m_bDownArrow = false;
    for (int i = 0; i < GetFolderCount(); ++i)
        if (QWidget* child = m_folders[size_t(i)].child)
            child->setGeometry(GetInsideRect());
}

// ---- Context menu

QMenu* CGfxOutBarCtrl::BuildContextMenu(int hitKind, int index)
{
    m_nRightHitKind = hitKind;
    m_nRightHitIndex = index;
    HMENU menu = CreatePopupMenu();
    auto add = [&](const QString& text, int id) { AppendMenu(menu, MF_STRING, UINT(id), text); };
    add(QStringLiteral("Small icon style"), ID_GFX_SMALLICON);
    add(QStringLiteral("Big icon style"), ID_GFX_LARGEICON);
    if (hitKind == htItem && (m_dwFlags & (fRemoveItems | fEditItems))) {
        AppendMenu(menu, MF_SEPARATOR, 0, QString());
        if (m_dwFlags & fRemoveItems)
            add(QStringLiteral("Delete child item"), ID_GFX_REMOVEITEM);
        if (m_dwFlags & fEditItems)
            add(QStringLiteral("Rename chile item"), ID_GFX_RENAMEITEM);
    } else if (hitKind == htFolder && (m_dwFlags & (fRemoveGroups | fEditGroups))) {
        AppendMenu(menu, MF_SEPARATOR, 0, QString());
        if (m_dwFlags & fRemoveGroups)
            add(QStringLiteral("Delete this directory"), ID_GFX_REMOVEITEM);
        if (m_dwFlags & fEditGroups)
            add(QStringLiteral("Rename this directory"), ID_GFX_RENAMEITEM);
    }
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        const UINT id = GetMenuItemID(menu, pos);
        bool enabled = true;
        if (id != 0) {
            OnUpdateContextCommand(id, enabled);
            EnableMenuItem(menu, UINT(pos), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
        }
    }
    return menu;
}

void CGfxOutBarCtrl::OnUpdateContextCommand(unsigned id, bool& enabled) const
{
    if (id == unsigned(ID_GFX_SMALLICON))
        enabled = !IsSmallIconView();
    else if (id == unsigned(ID_GFX_LARGEICON))
        enabled = IsSmallIconView();
}

void CGfxOutBarCtrl::OnContextCommand(int id)
{
    switch (id) {
    case ID_GFX_SMALLICON:
        SetSmallIconView(true);
        break;
    case ID_GFX_LARGEICON:
        SetSmallIconView(false);
        break;
    case ID_GFX_REMOVEITEM:
        if (m_nRightHitKind == htFolder)
            RemoveFolder(m_nRightHitIndex);
        else if (m_nRightHitKind == htItem)
            RemoveItem(m_nRightHitIndex);
        break;
    case ID_GFX_RENAMEITEM:
        if (m_nRightHitKind == htFolder)
            StartFolderRename(m_nRightHitIndex);
        else if (m_nRightHitKind == htItem)
            StartItemRename(m_nRightHitIndex);
        break;
    default:
        break;
    }
}

bool CGfxOutBarCtrl::event(QEvent* event)
{
    if (event->type() == WinMessageEvent::EventType()) {
        auto* msg = static_cast<WinMessageEvent*>(event);
        msg->result = DefWindowProc(this, msg->message, msg->wParam, msg->lParam);
        return true;
    }
    return QWidget::event(event);
}

void CGfxOutBarCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    int index = -1;
    const int hit = HitTest(event->pos(), &index);
    HMENU menu = BuildContextMenu(hit, index);
    // Drawn with the pictures of the bar's toolbar; a missing toolbar leaves
    // plain rows.
    CIconMenu icons;
    icons.LoadToolbar(kContextMenuToolbar);
    icons.ConvertToOwnerDraw(menu);
    icons.UpdateItems(menu, [this](UINT id, bool& enabled, bool&) { OnUpdateContextCommand(id, enabled); });
    QPointer<CGfxOutBarCtrl> self(this);
    const UINT id = TrackPopupMenuEx(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, event->globalPos().x(),
        event->globalPos().y(), this);
    DestroyMenu(menu);
    if (self && id != 0)
        OnContextCommand(int(id));
}

} // namespace ulv
