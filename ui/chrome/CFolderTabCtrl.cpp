#include "ui/chrome/CFolderTabCtrl.h"

#include "ui/controls/GdiLines.h"
#include "ui/controls/WinLook.h"

#include <QMouseEvent>
#include <QPainter>

namespace ulv {

namespace {

constexpr COLORREF kSelectedFace = 0xCDCDCD;
constexpr COLORREF kTabFace = 0xFFFFFF;
constexpr COLORREF kOutline = 0x7D7D7D;
constexpr int kOverlap = 8;
constexpr int kLabelPadding = 20;

} // namespace

QPolygon CFolderTab::GetTrapezoid() const
{
    const int left = m_bounds.left(), top = m_bounds.top();
    const int right = left + m_bounds.width(), bottom = top + m_bounds.height();
    return QPolygon({QPoint(left, top), QPoint(left + 8, bottom), QPoint(right - 9, bottom), QPoint(right - 1, top)});
}

CFolderTabCtrl::CFolderTabCtrl(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    const int height = GetSystemMetrics(SM_CYHSCROLL);
    m_normalFont = CellFont(QStringLiteral("Arial"), height - 1, 400);
    m_selectedFont = CellFont(QStringLiteral("Arial"), height - 3, 400);
}

QFont CFolderTabCtrl::CellFont(const QString& face, int cellHeight, int weight)
{
    // A positive height is the whole character cell, descenders included:
    // the label's underscores and tails must stay inside the tab, which is
    // only a scroll bar high.
    QFont font = LogFont(face, cellHeight, weight);
    while (font.pixelSize() > 6 && QFontMetrics(font).height() > cellHeight)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

CFolderTabCtrl::~CFolderTabCtrl() = default;

bool CFolderTabCtrl::Create(const QRect& rect, QWidget* parent, int id, unsigned style)
{
    setParent(parent);
    setGeometry(rect);
    m_id = id;
    m_style = style;
    show();
    return true;
}

bool CFolderTabCtrl::CreateOverStatic(QWidget* placeholder, int id)
{
    if (!placeholder || !placeholder->parentWidget())
        return false;
    QWidget* parent = placeholder->parentWidget();
    QRect r = placeholder->geometry();
    r.setHeight(GetSystemMetrics(SM_CYHSCROLL));
    placeholder->hide();
    placeholder->deleteLater();
    return Create(r, parent, id, 0);
}

bool CFolderTabCtrl::Load(const QString& text)
{
    for (const QString& piece : text.split(QLatin1Char('\n')))
        AddItem(piece);
    RecalcLayout();
    return true;
}

int CFolderTabCtrl::AddItem(const QString& text)
{
    m_tabs.push_back(std::make_unique<CFolderTab>(text));
    return GetItemCount() - 1;
}

bool CFolderTabCtrl::RemoveItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return false;
    m_tabs.erase(m_tabs.begin() + index);
    return true;
}

CFolderTab* CFolderTabCtrl::GetItem(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_tabs[index].get() : nullptr;
}

int CFolderTabCtrl::HitTest(const QPoint& point) const
{
    if (!rect().contains(point))
        return -1;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (m_tabs[i]->m_region.contains(point))
            return i;
    }
    return -1;
}

int CFolderTabCtrl::SelectItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return -1;
    if (index == m_current)
        return index;
    InvalidateTab(m_current);
    m_current = index;
    InvalidateTab(m_current);
    return index;
}

void CFolderTabCtrl::InvalidateTab(int index)
{
    if (const CFolderTab* tab = GetItem(index))
        update(tab->m_bounds);
}

void CFolderTabCtrl::SetFonts(const QFont& normal, const QFont& selected)
{
    m_normalFont = normal;
    m_selectedFont = selected;
}

QSize CFolderTabCtrl::sizeHint() const
{
    const CFolderTab* last = m_tabs.empty() ? nullptr : m_tabs.back().get();
    return {last ? last->m_bounds.right() + 1 : 100, GetSystemMetrics(SM_CYHSCROLL)};
}

int CFolderTabCtrl::ComputeRegion(CFolderTab& tab, int x) const
{
    const QFontMetrics fm(m_normalFont);
    const int width = (tab.m_text.isEmpty() ? 0 : fm.horizontalAdvance(tab.m_text)) + kLabelPadding;
    tab.m_bounds = QRect(x, 0, width, GetSystemMetrics(SM_CYHSCROLL));
    tab.m_region = QRegion(tab.GetTrapezoid(), Qt::WindingFill);
    return width;
}

void CFolderTabCtrl::RecalcLayout()
{
    int x = 0;
    for (auto& tab : m_tabs)
        x += ComputeRegion(*tab, x) - kOverlap;
}

int CFolderTabCtrl::DrawTab(QPainter& p, const CFolderTab& tab, const QFont& font, bool selected) const
{
    const COLORREF face = selected ? kSelectedFace : kTabFace;
    const COLORREF text = GetSysColor(selected ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);

    p.save();
    p.setClipRegion(tab.m_region);
    FillSolidRect(p, tab.m_bounds, face);
    p.restore();

    QPolygon pts = tab.GetTrapezoid();
    for (int i = 1; i < 4; ++i)
        pts[i].ry() -= 1;
    DrawLineTo(p, pts[0], pts[1], kOutline);
    DrawLineTo(p, pts[1], pts[2], shadow);
    DrawLineTo(p, pts[2], pts[3], kOutline);
    if (!selected) {
        // A double right edge on the tabs behind.
        DrawLineTo(p, pts[2] - QPoint(1, 0), pts[3] - QPoint(1, 0), shadow);
    }

    const QRect label = tab.m_bounds.adjusted(10, 1, -10, -1);
    p.setFont(font);
    p.setPen(ColorRefToQColor(text));
    p.drawText(label, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, tab.m_text);
    return tab.m_bounds.left() + tab.m_bounds.width();
}

void CFolderTabCtrl::paintEvent(QPaintEvent*)
{
    const QRect client = rect();
    QImage buffer(client.size(), QImage::Format_RGB32);
    buffer.fill(ColorRefToRgb(kSelectedFace));
    QPainter p(&buffer);

    const CFolderTab* current = nullptr;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (i == m_current) {
            current = m_tabs[i].get();
            continue;
        }
        if (DrawTab(p, *m_tabs[i], m_normalFont, false) > client.width())
            break;
    }
    if (current)
        DrawTab(p, *current, m_selectedFont, true);

    // The top line runs across the strip except above the selected tab, which
    // stays open towards what it switches.
    const int curLeft = current ? current->m_bounds.left() : 0;
    const int curRight = current ? current->m_bounds.left() + current->m_bounds.width() : 0;
    const int right = client.width(), bottom = client.height();
    DrawLineTo(p, {curRight, 0}, {right, 0}, kOutline);
    if (m_style & 1) {
        DrawLineTo(p, {right - 1, 0}, {right - 1, bottom - 1}, kOutline);
        DrawLineTo(p, {right - 1, bottom - 1}, {0, bottom - 1}, kOutline);
        DrawLineTo(p, {0, bottom - 1}, {0, 0}, kOutline);
    }
    DrawLineTo(p, {0, 0}, {curLeft, 0}, kOutline);
    p.end();

    QPainter screen(this);
    screen.drawImage(0, 0, buffer);
}

void CFolderTabCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int hit = HitTest(event->position().toPoint());
    if (hit < 0 || hit == m_current)
        return;
    SelectItem(hit);
    FolderTabNotify notify;
    notify.hwndFrom = this;
    notify.idFrom = m_id;
    notify.code = FTN_TABCHANGED;
    notify.index = hit;
    notify.tab = GetItem(hit);
    Q_EMIT TabNotify(notify);
}

} // namespace ulv
