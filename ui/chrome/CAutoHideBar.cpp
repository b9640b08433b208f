#include "ui/chrome/CAutoHideBar.h"

#include "ui/chrome/CAutoHideFloatWnd.h"
#include "ui/chrome/CDockPageBar.h"
#include "ui/controls/WinLook.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>

namespace ulv {

namespace {

Qt::ToolBarArea AreaOf(unsigned side)
{
    if (side & CBRS_ALIGN_LEFT)
        return Qt::LeftToolBarArea;
    if (side & CBRS_ALIGN_RIGHT)
        return Qt::RightToolBarArea;
    if (side & CBRS_ALIGN_BOTTOM)
        return Qt::BottomToolBarArea;
    return Qt::TopToolBarArea;
}

constexpr int kTabLength = 21;
constexpr int kGroupGap = 20;

} // namespace

void AutoHideTabItem::Draw(QPainter& p, bool horz) const
{
    const QRect r = m_rect;
    if (!m_hIcon.isNull()) {
        const QPoint at = horz ? QPoint(r.left() + 3, r.top() + (r.height() - 16) / 2 + 1)
                               : QPoint(r.left() + (r.width() - 16) / 2, r.top() + 3);
        p.drawPixmap(at, m_hIcon.pixmap(16, 16));
    }
    p.setPen(Qt::black);
    if (m_bShowText) {
        if (horz) {
            p.drawText(QRect(r.left() + 25, r.top(), std::max(0, r.right() - r.left() - 25), r.height()),
                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_sTitle);
        } else {
            // The side strips' text runs downwards.
            p.save();
            p.translate(r.right() - 3, r.top() + 23);
            p.rotate(90);
            p.drawText(QRect(0, 0, std::max(0, r.height() - 23), r.width() - 2),
                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_sTitle);
            p.restore();
        }
    }
    p.setPen(QColor(SysRgb(COLOR_BTNSHADOW)));
    if (horz)
        p.drawLine(r.right(), r.top() + 2, r.right(), r.bottom());
    else
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

AutoHideGroup::~AutoHideGroup()
{
    if (m_pFloatWnd) {
        m_pFloatWnd->hide();
        m_pFloatWnd->m_pGroup = nullptr;
        m_pFloatWnd->deleteLater();
    }
}

bool AutoHideGroup::IsHorz() const
{
    return (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
}

void AutoHideGroup::AttachBar(CDockPageBar* bar, CAutoHideBar* strip, unsigned sideStyle)
{
    m_dwStyle = sideStyle;
    m_pStrip = strip;
    m_pBar = bar;
    QMainWindow* frame = strip->Frame();
    m_rect = QRect(bar->mapTo(frame, QPoint(0, 0)), bar->size());
    bar->hide();
    m_pFloatWnd = new CAutoHideFloatWnd(frame);
    m_pFloatWnd->setGeometry(m_rect);
    m_pFloatWnd->SetSide(sideStyle);
    m_pFloatWnd->hide();
    m_pFloatWnd->m_pGroup = this;
    m_nActiveTab = bar->GetActivePage();
    for (int i = 0; i < bar->GetPageCount(); ++i) {
        const DockPageItem* page = bar->GetPageItem(i);
        auto tab = std::make_unique<AutoHideTabItem>();
        tab->m_pWnd = page->m_pWnd;
        tab->m_sTitle = page->m_sTitle;
        tab->m_hIcon = page->m_hIcon;
        tab->m_bShowText = i == m_nActiveTab;
        m_tabs.push_back(std::move(tab));
    }
}

void AutoHideGroup::ShowTab(int index)
{
    if (index < 0 || index >= int(m_tabs.size()) || !m_pFloatWnd || !m_pStrip)
        return;
    CAutoHideFloatWnd* wnd = m_pFloatWnd;
    if ((index == m_nActiveTab && wnd->isVisible() && wnd->m_pShowing) || wnd->IsSliding())
        return;
    AutoHideTabItem* tab = m_tabs[size_t(index)].get();
    const QRect size = tab->m_rcSlideOut.isEmpty() ? wnd->geometry() : tab->m_rcSlideOut;

    QRect r = m_pStrip->geometry();
    if (m_dwStyle & CBRS_ALIGN_TOP) {
        r.setHeight(size.height());
        r.translate(0, 22);
    } else if (m_dwStyle & CBRS_ALIGN_BOTTOM) {
        r.setHeight(size.height());
        r.translate(0, -size.height());
    } else if (m_dwStyle & CBRS_ALIGN_LEFT) {
        r.setWidth(size.width());
        r.translate(24, 0);
    } else {
        r.setWidth(size.width());
        r.translate(-size.width(), 0);
    }

    if (AutoHideTabItem* shown = wnd->m_pShowing) {
        if (wnd->isVisible())
            shown->m_rcSlideOut = wnd->geometry();
        if (shown->m_pWnd && m_pBar)
            m_pBar->AdoptPageWindow(shown->m_pWnd);
    }
    wnd->resize(0, 0);
    if (tab->m_pWnd) {
        tab->m_pWnd->setParent(wnd);
        tab->m_pWnd->hide();
    }
    wnd->m_Title = tab->m_sTitle;
    wnd->m_pShowing = tab;

    QMainWindow* frame = m_pStrip->Frame();
    if (QWidget* work = frame->centralWidget())
        work->lower();
    wnd->hide();
    wnd->setGeometry(r);
    wnd->stackUnder(m_pStrip);
    wnd->m_rcFull = r;
    if (tab->m_pWnd) {
        tab->m_pWnd->setGeometry(wnd->ClientRect());
        tab->m_pWnd->show();
    }
    for (size_t i = 0; i < m_tabs.size(); ++i)
        m_tabs[i]->m_bShowText = int(i) == index;
    m_nActiveTab = index;
    m_pStrip->update();
    wnd->StartSlide(CAutoHideFloatWnd::kSlideOut, 300);
}

void AutoHideGroup::RestoreBar()
{
    CAutoHideBar* strip = m_pStrip;
    for (auto& tab : m_tabs)
        if (tab->m_pWnd && m_pBar)
            m_pBar->AdoptPageWindow(tab->m_pWnd);
    m_tabs.clear();
    if (m_pFloatWnd) {
        m_pFloatWnd->hide();
        m_pFloatWnd->m_pGroup = nullptr;
        m_pFloatWnd->deleteLater();
        m_pFloatWnd = nullptr;
    }
    if (m_pBar) {
        m_pBar->show();
        m_pBar->UpdatePages();
    }
    if (strip)
        strip->RemoveClosedGroups(); // deletes this group
}

void AutoHideGroup::LayoutTabs(const QFontMetrics& fm, QRect& running)
{
    const bool horz = IsHorz();
    const int start = horz ? running.left() : running.top();
    int pos = start;
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        AutoHideTabItem* tab = m_tabs[i].get();
        int length = kTabLength;
        if (int(i) == m_nActiveTab)
            length += 24 + 24 + fm.horizontalAdvance(tab->m_sTitle);
        tab->m_bShowText = int(i) == m_nActiveTab;
        tab->m_rect = horz ? QRect(pos, running.top(), length, running.height())
                           : QRect(running.left(), pos, running.width(), length);
        pos += length;
    }
    m_rect = horz ? QRect(start, running.top(), pos - start, running.height())
                  : QRect(running.left(), start, running.width(), pos - start);
    if (horz)
        running.setLeft(pos);
    else
        running.setTop(pos);
}

void AutoHideGroup::Draw(QPainter& p) const
{
    const QRect r = m_rect;
    p.fillRect(r, QColor(SysRgb(COLOR_BTNFACE)));
    p.setPen(Qt::black);
    if (IsHorz()) {
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        if (m_dwStyle & CBRS_ALIGN_TOP)
            p.drawLine(r.left(), r.bottom(), r.right() + 1, r.bottom());
        else
            p.drawLine(r.left(), r.top(), r.right(), r.top());
    } else {
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        if (m_dwStyle & CBRS_ALIGN_LEFT)
            p.drawLine(r.right(), r.top(), r.right(), r.bottom() + 1);
        else
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    }
    for (const auto& tab : m_tabs)
        tab->Draw(p, IsHorz());
}

int AutoHideGroup::TabAt(const QPoint& pos) const
{
    for (size_t i = 0; i < m_tabs.size(); ++i)
        if (m_tabs[i]->m_rect.contains(pos))
            return int(i);
    return -1;
}

CAutoHideBar::CAutoHideBar(QWidget* parent)
    : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setMouseTracking(true);
    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(kHoverMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CAutoHideBar::OnHover);
}

CAutoHideBar::~CAutoHideBar()
{
    for (auto& group : m_groups) {
        for (auto& tab : group->m_tabs)
            if (tab->m_pWnd && group->m_pBar)
                group->m_pBar->AdoptPageWindow(tab->m_pWnd);
        group->m_tabs.clear();
        if (group->m_pBar)
            group->m_pBar->show();
    }
    m_groups.clear();
}

bool CAutoHideBar::Create(QMainWindow* parent, unsigned sideStyle, int id)
{
    if (!parent)
        return false;
    m_frame = parent;
    m_dwStyle = sideStyle;
    m_id = id;
    setObjectName(QStringLiteral("AutoHide-%1").arg(id));
    m_font = LogFont(QStringLiteral("Tahoma"), 13, 400);
    parent->addToolBar(AreaOf(sideStyle), this);
    if (IsHorz())
        setFixedHeight(Depth());
    else
        setFixedWidth(Depth());
    hide();
    return true;
}

bool CAutoHideBar::IsHorz() const
{
    return (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
}

int CAutoHideBar::Depth() const
{
    return (m_dwStyle & CBRS_ALIGN_BOTTOM) ? kBottomDepth : kDepth;
}

void CAutoHideBar::AddGroup(CDockPageBar* bar)
{
    if (!bar)
        return;
    auto group = std::make_unique<AutoHideGroup>();
    group->AttachBar(bar, this, m_dwStyle);
    m_groups.push_back(std::move(group));
    show();
    update();
}

void CAutoHideBar::RemoveClosedGroups()
{
    for (auto it = m_groups.begin(); it != m_groups.end();) {
        if ((*it)->m_tabs.empty()) {
            if (m_pHoveredGroup == it->get())
                m_pHoveredGroup = nullptr;
            it = m_groups.erase(it);
        } else {
            ++it;
        }
    }
    if (m_groups.empty())
        hide();
    update();
}

AutoHideGroup* CAutoHideBar::Group(int index) const
{
    if (index < 0 || index >= GroupCount())
        return nullptr;
    return m_groups[size_t(index)].get();
}

void CAutoHideBar::LayoutGroups()
{
    QRect running = rect();
    const bool nearSide = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) != 0;
    const int inset = nearSide ? 3 : 2;
    if (m_dwStyle & CBRS_ALIGN_TOP)
        running.adjust(2, 0, 0, -inset);
    else if (m_dwStyle & CBRS_ALIGN_BOTTOM)
        running.adjust(2, inset, 0, 0);
    else if (m_dwStyle & CBRS_ALIGN_LEFT)
        running.adjust(0, 2, -inset, 0);
    else
        running.adjust(inset, 2, 0, 0);
    const QFontMetrics fm(m_font);
    for (auto& group : m_groups) {
        group->LayoutTabs(fm, running);
        if (IsHorz())
            running.setLeft(running.left() + kGroupGap);
        else
            running.setTop(running.top() + kGroupGap);
    }
}

void CAutoHideBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    if (m_dwStyle & CBRS_ALIGN_TOP)
        r.setBottom(r.bottom() - 1);
    else if (m_dwStyle & CBRS_ALIGN_LEFT)
        r.setRight(r.right() - 1);
    p.fillRect(rect(), QColor(SysRgb(COLOR_BTNFACE)));
    p.fillRect(r, QColor(kBackground));
    p.setPen(QColor(kFrame));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setFont(m_font);
    LayoutGroups();
    for (const auto& group : m_groups)
        group->Draw(p);
}

void CAutoHideBar::mouseMoveEvent(QMouseEvent* event)
{
    m_hoverPos = event->position().toPoint();
    m_hoverTimer.start();
}

void CAutoHideBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ShowTabAt(event->position().toPoint());
}

void CAutoHideBar::leaveEvent(QEvent*)
{
    m_hoverTimer.stop();
    if (m_pHoveredGroup && m_pHoveredGroup->m_pFloatWnd)
        m_pHoveredGroup->m_pFloatWnd->m_bHoverLock = false;
}

void CAutoHideBar::OnHover()
{
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        ShowTabAt(m_hoverPos);
}

void CAutoHideBar::ShowTabAt(const QPoint& pos)
{
    LayoutGroups();
    m_pHoveredGroup = nullptr;
    for (auto& group : m_groups) {
        const bool under = group->m_rect.contains(pos);
        if (under) {
            group->ShowTab(group->TabAt(pos));
            m_pHoveredGroup = group.get();
        }
        if (group->m_pFloatWnd)
            group->m_pFloatWnd->m_bHoverLock = under;
    }
    update();
}

} // namespace ulv
