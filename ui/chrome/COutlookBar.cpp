#include "ui/chrome/COutlookBar.h"

#include "ui/chrome/ChromeResources.h"
#include "ui/controls/ControlResources.h"

#include <QMouseEvent>
#include <QPainter>

namespace ulv {

COutlookBar::COutlookBar(QWidget* parent)
    : QWidget(parent)
    , m_crBackground(GetSysColor(COLOR_BTNSHADOW))
    , m_crText(GetSysColor(COLOR_WINDOW))
    , m_iconWidth(GetSystemMetrics(SM_CXICON))
    , m_iconHeight(GetSystemMetrics(SM_CYICON))
{
    const QPixmap tile(NavigationBackgroundPath());
    m_background = tile.isNull() ? QBrush(QColor(SysRgb(COLOR_WINDOW))) : QBrush(tile);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

COutlookBar::~COutlookBar() = default;

bool COutlookBar::Create(QWidget* parent, int id)
{
    if (!parent)
        return false;
    setParent(parent);
    m_id = id;
    setFont(QFont()); // the host gives its own font afterwards
    show();
    return true;
}

int COutlookBar::InsertItem(int index, unsigned iconId, const QString& text)
{
    OutlookBarItem item;
    const int count = GetCount();
    const int at = index < 0 || index > count ? count : index;
    item.index = at;
    item.text = text;
    const QString path = NavigationIconPath(iconId);
    if (!path.isEmpty()) {
        const QPixmap icon(path);
        if (!icon.isNull())
            item.icon = icon.scaled(m_iconWidth, m_iconHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    auto pos = m_items.begin();
    std::advance(pos, at);
    m_items.insert(pos, std::move(item));
    if (m_curSel >= at)
        ++m_curSel;
    updateGeometry();
    update();
    return at;
}

int COutlookBar::AddItem(unsigned iconId, const QString& text) { return InsertItem(-1, iconId, text); }

int COutlookBar::InsertBitmapItem(int index, int bitmapId, const QString& text)
{
    const int at = InsertItem(index, 0, text);
    const QImage bitmap = LoadBitmapResource(bitmapId);
    if (!bitmap.isNull()) {
        auto pos = m_items.begin();
        std::advance(pos, at);
        pos->icon = QPixmap::fromImage(bitmap).scaled(m_iconWidth, m_iconHeight, Qt::IgnoreAspectRatio,
            Qt::SmoothTransformation);
        update();
    }
    return at;
}

OutlookBarItem* COutlookBar::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    auto it = m_items.begin();
    std::advance(it, index);
    return const_cast<OutlookBarItem*>(&*it);
}

void COutlookBar::SetCurSel(int index)
{
    const int sel = index >= 0 && index < GetCount() ? index : -1;
    m_curSel = sel;
    update();
}

QRect COutlookBar::ItemRect(int index) const { return { 0, index * LineHeight(), width(), LineHeight() }; }

int COutlookBar::ItemFromPoint(const QPoint& point, bool* outside) const
{
    const int count = GetCount();
    if (count == 0) {
        *outside = true;
        return 0;
    }
    const int line = point.y() < 0 ? 0 : point.y() / LineHeight();
    *outside = point.y() < 0 || line >= count || point.x() < 0 || point.x() >= width();
    return std::min(line, count - 1);
}

void COutlookBar::DrawItem(QPainter& p, int index) const
{
    const OutlookBarItem* item = GetItem(index);
    if (!item)
        return;
    const QRect r = ItemRect(index);
    p.save();
    p.setBrushOrigin(0, 0);
    p.fillRect(r, m_background);
    p.setFont(font());
    if (!item->icon.isNull())
        p.drawPixmap((r.width() - m_iconWidth) / 2, r.top() + 15, item->icon);
    p.setPen(ColorRefToQColor(m_crText));
    const QRect caption = r.adjusted(7, 52, -7, 0);
    const QString text = p.fontMetrics().elidedText(item->text, Qt::ElideRight, caption.width());
    p.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, text);
    if (index == m_curSel && m_bHover) {
        const int left = (r.width() - m_iconWidth - 4) / 2;
        const QRect frame(left, r.top() + 13, m_iconWidth + 4, r.height() - 13 - 14);
        DrawEdge(p, frame, m_bPressed ? BDR_SUNKENINNER : BDR_RAISEDOUTER);
    }
    p.restore();
}

void COutlookBar::paintEvent(QPaintEvent*)
{
    // Qt double-buffers the widget, so the background and the lines never flicker.
    QPainter p(this);
    p.setBrushOrigin(0, 0);
    p.fillRect(rect(), m_background);
    for (int i = 0; i < GetCount(); ++i)
        DrawItem(p, i);
}

// The highlight follows the pointer from the move and leave events alone: no
// timer wakes the program while the pointer rests over the bar.
void COutlookBar::TrackHover()
{
    m_bHover = true;
    bool outside = true;
    const int line = ItemFromPoint(m_lastMouse, &outside);
    if (line != m_curSel && !outside)
        SetCurSel(line);
}

void COutlookBar::mouseMoveEvent(QMouseEvent* event)
{
    m_lastMouse = event->position().toPoint();
    TrackHover();
    QWidget::mouseMoveEvent(event);
}

void COutlookBar::leaveEvent(QEvent* event)
{
    m_bHover = false;
    if (!m_bPressed)
        SetCurSel(-1);
    update();
    QWidget::leaveEvent(event);
}

void COutlookBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_bPressed = true;
    // A press on a line selects it; a press below the last line keeps the line
    // the mouse left, or nothing.
    bool outside = true;
    const int line = ItemFromPoint(event->position().toPoint(), &outside);
    if (!outside)
        m_curSel = line;
    update();
}

void COutlookBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    if (m_bPressed) {
        const int sel = m_curSel;
        SetCurSel(sel);
        Q_EMIT OutlookBarClick(sel, m_id);
    }
    m_lastMouse = event->position().toPoint();
    m_bPressed = false;
    // Released outside the bar: the press held the pointer, its leave came first.
    if (rect().contains(m_lastMouse))
        TrackHover();
    else
        leaveEvent(event);
    update();
}

} // namespace ulv
