#include "ui/chrome/CDockPageBar.h"

#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CDockPageContext.h"
#include "ui/controls/WinLook.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>

namespace ulv {

// The caption the bar draws itself: title, pin and close buttons.
class PageBarCaption : public QWidget {
public:
    explicit PageBarCaption(CDockPageBar* bar)
        : QWidget(bar)
        , m_bar(bar)
    {
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
        setFixedHeight(CDockPageBar::kCaptionHeight);
    }
    QSize sizeHint() const override { return {60, CDockPageBar::kCaptionHeight}; }
    QSize minimumSizeHint() const override { return {40, CDockPageBar::kCaptionHeight}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        m_bar->PaintCaption(p, rect());
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        const QPoint pos = e->position().toPoint();
        if (e->button() == Qt::RightButton) {
            if (m_dragging)
                m_bar->DragContext()->CancelDrag();
            m_dragging = false;
            return;
        }
        if (e->button() != Qt::LeftButton)
            return;
        setFocus(Qt::MouseFocusReason);
        if (!ButtonAt(pos)) {
            if (m_bar->DragContext())
                m_bar->DragContext()->m_bPageDrag = false;
            m_pressed = true;
            m_pressPos = e->globalPosition().toPoint();
        }
        UpdateButtons(pos, true);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const QPoint global = e->globalPosition().toPoint();
        UpdateButtons(e->position().toPoint(), (e->buttons() & Qt::LeftButton) != 0);
        CDockPageContext* context = m_bar->DragContext();
        if (!m_pressed || !context)
            return;
        if (!m_dragging && (global - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragging = true;
            context->StartDrag(m_pressPos);
        }
        if (m_dragging)
            context->MoveDrag(global);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton)
            return;
        const QPoint pos = e->position().toPoint();
        const bool wasDragging = m_dragging;
        m_pressed = m_dragging = false;
        UpdateButtons(pos, false);
        if (wasDragging) {
            if (m_bar->DragContext())
                m_bar->DragContext()->DropBar();
            return;
        }
        if (m_bar->m_closeButton.GetRect().contains(pos))
            m_bar->hide();
        else if (m_bar->m_pinButton.GetRect().contains(pos))
            m_bar->HideToEdge();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && !ButtonAt(e->position().toPoint()))
            m_bar->setFloating(!m_bar->isFloating());
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape && m_dragging) {
            m_dragging = m_pressed = false;
            m_bar->DragContext()->CancelDrag();
            return;
        }
        QWidget::keyPressEvent(e);
    }
    void leaveEvent(QEvent*) override { UpdateButtons(QPoint(-1, -1), false); }

private:
    bool ButtonAt(const QPoint& pos) const
    {
        return m_bar->m_closeButton.GetRect().contains(pos) || m_bar->m_pinButton.GetRect().contains(pos);
    }
    void UpdateButtons(const QPoint& pos, bool down)
    {
        bool changed = false;
        for (CCaptionButton* b : {static_cast<CCaptionButton*>(&m_bar->m_closeButton),
                 static_cast<CCaptionButton*>(&m_bar->m_pinButton)}) {
            const bool on = b->GetRect().contains(pos) && !m_dragging;
            const bool pushed = on && down;
            const bool hot = on && !down;
            changed |= pushed != b->m_bPushed || hot != b->m_bHot;
            b->m_bPushed = pushed;
            b->m_bHot = hot;
        }
        if (changed)
            update();
    }

    CDockPageBar* m_bar;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressPos;
};

// The page area and, with several pages, the tab strip below it.
class PageBarBody : public QWidget {
public:
    explicit PageBarBody(CDockPageBar* bar)
        : QWidget(bar)
        , m_bar(bar)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        m_bar->PaintBody(p);
    }
    void resizeEvent(QResizeEvent*) override { m_bar->LayoutPages(); }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton)
            return;
        const int tab = m_bar->TabAt(e->position().toPoint());
        if (tab < 0)
            return;
        m_bar->SetActivePage(tab);
        m_bar->setFocus(Qt::MouseFocusReason);
        m_bar->m_tabDragging = true;
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (m_bar->m_tabDragging)
            m_bar->DragTabTo(e->globalPosition().toPoint());
        else if (CDockPageContext* context = m_bar->DragContext(); context && context->IsDragging())
            context->MoveDrag(e->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        m_bar->m_tabDragging = false;
        if (CDockPageContext* context = m_bar->DragContext(); context && context->IsDragging()) {
            context->MoveDrag(e->globalPosition().toPoint());
            context->DropBar();
        }
    }

private:
    CDockPageBar* m_bar;
};

void DockPageItem::Draw(QPainter& p, bool active, const QFont& font)
{
    const QRect r = m_rect;
    if (active) {
        p.fillRect(QRect(r.left() - 1, r.top() + 2, r.width() + 1, r.height() - 2), QColor(SysRgb(COLOR_BTNFACE)));
        p.setPen(QColor(SysRgb(COLOR_3DDKSHADOW)));
        p.drawLine(r.left() - 1, r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top() + 2, r.right(), r.bottom());
    } else {
        p.setPen(QColor(CDockPageBar::kPageFrame));
        p.drawLine(r.right(), r.top() + 7, r.right(), r.bottom() - 1);
    }
    int textLeft = r.left() + 3;
    if (r.width() > 21 && !m_hIcon.isNull()) {
        p.drawPixmap(r.left() + 3, r.top() + 5, m_hIcon.pixmap(16, 16));
        textLeft = r.left() + 25;
    }
    p.setPen(active ? QColor(Qt::black) : QColor(CDockPageBar::kPageFrame));
    p.setFont(font);
    const QFontMetrics fm(font);
    const QString text = CDockPageBar::ElideTitle(fm, m_sTitle, r.right() - 2 - textLeft);
    p.drawText(QRect(textLeft, r.top() + 4, std::max(0, r.right() - 2 - textLeft), r.bottom() - r.top() - 4),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

CDockPageBar::CDockPageBar(QWidget* parent)
    : CSizingControlBar(parent)
    , m_font(LogFont(QStringLiteral("Tahoma"), -11))
{
    m_szMinHorz = {50, 50};
    m_szMinVert = {60, 60};
    m_szMinFloat = {150, 150};
    m_caption = new PageBarCaption(this);
    m_body = new PageBarBody(this);
    setTitleBarWidget(m_caption);
    setWidget(m_body);
    setFocusPolicy(Qt::ClickFocus);
    connect(qApp, &QApplication::focusChanged, this, &CDockPageBar::OnFocusChanged);
}

CDockPageBar::~CDockPageBar()
{
    // The base destructor clears focus, which would call back into this
    // already-destroyed part of the object.
    disconnect(qApp, &QApplication::focusChanged, this, &CDockPageBar::OnFocusChanged);
    // Page windows are the caller's: leave them alive outside the bar.
    for (auto& item : m_PageList)
        if (item->m_pWnd && item->m_pWnd->parentWidget() == m_body)
            item->m_pWnd->setParent(nullptr);
    m_PageList.clear();
    // Bars torn off through this bar's contexts go with it.
    m_ContextList.clear();
}

bool CDockPageBar::Create(const QString& title, QMainWindow* parent, int id, unsigned style)
{
    if (!CSizingControlBar::Create(title, parent, id, style))
        return false;
    m_Title = title;
    return true;
}

void CDockPageBar::EnableDocking(unsigned dockStyle)
{
    Qt::DockWidgetAreas areas;
    if (dockStyle & CBRS_ALIGN_LEFT)
        areas |= Qt::LeftDockWidgetArea;
    if (dockStyle & CBRS_ALIGN_TOP)
        areas |= Qt::TopDockWidgetArea;
    if (dockStyle & CBRS_ALIGN_RIGHT)
        areas |= Qt::RightDockWidgetArea;
    if (dockStyle & CBRS_ALIGN_BOTTOM)
        areas |= Qt::BottomDockWidgetArea;
    setAllowedAreas(areas);
    if (!m_pDockContext) {
        m_ContextList.push_back(std::make_unique<CDockPageContext>(this));
        m_pDockContext = m_ContextList.back().get();
    }
}

bool CDockPageBar::AddPage(QWidget* page, const QString& title, const QIcon& icon)
{
    auto item = std::make_unique<DockPageItem>();
    item->m_pWnd = page;
    item->m_sTitle = title;
    item->m_hIcon = icon;
    item->m_nWidth = QFontMetrics(m_font).horizontalAdvance(title) + (icon.isNull() ? 0 : 18) + 9;
    if (page) {
        page->setParent(m_body);
        page->setWindowFlags(Qt::Widget);
        page->setGeometry(PageArea());
        page->hide();
    }
    m_PageList.push_back(std::move(item));
    UpdatePages();
    return true;
}

bool CDockPageBar::AttachPageItem(DockPageItem* item)
{
    if (!item)
        return false;
    if (item->m_pWnd) {
        item->m_pWnd->setParent(m_body);
        item->m_pWnd->hide();
    }
    m_PageList.emplace_back(item);
    setFocus(Qt::OtherFocusReason);
    UpdatePages();
    return true;
}

void CDockPageBar::MergePagesFrom(CDockPageBar* other)
{
    if (!other || other == this)
        return;
    while (!other->m_PageList.empty()) {
        DockPageItem* item = other->m_PageList.front().release();
        other->m_PageList.erase(other->m_PageList.begin());
        AttachPageItem(item);
        SetActivePage(GetPageCount() - 1);
    }
    other->m_nActivePage = -1;
    if (QMainWindow* site = other->DockSite())
        site->removeDockWidget(other);
    other->hide();
    UpdatePages();
    // The other bar may be the one whose drag ended here: delete it once
    // its own event handling is over.
    other->deleteLater();
}

DockPageItem* CDockPageBar::RemoveActivePage()
{
    if (m_nActivePage < 0 || m_nActivePage >= GetPageCount())
        return nullptr;
    DockPageItem* item = m_PageList[size_t(m_nActivePage)].release();
    m_PageList.erase(m_PageList.begin() + m_nActivePage);
    if (item->m_pWnd)
        item->m_pWnd->hide();
    m_nActivePage = -1;
    UpdatePages();
    return item;
}

void CDockPageBar::SetActivePage(int index)
{
    if (index == m_nActivePage || !GetPageItem(index))
        return;
    m_nActivePage = index;
    m_Title = m_PageList[size_t(index)]->m_sTitle;
    setWindowTitle(m_Title);
    LayoutPages();
    m_caption->update();
    m_body->update();
}

DockPageItem* CDockPageBar::GetPageItem(int index) const
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_PageList[size_t(index)].get();
}

void CDockPageBar::UpdatePages()
{
    if (m_nActivePage < 0 && !m_PageList.empty()) {
        m_nActivePage = 0;
        m_Title = m_PageList.front()->m_sTitle;
        setWindowTitle(m_Title);
    }
    LayoutPages();
    m_body->update();
    m_caption->update();
    Q_EMIT PagesChanged();
}

void CDockPageBar::HideToEdge()
{
    QMainWindow* site = DockSite();
    if (!site || isFloating())
        return;
    int id = 0;
    switch (DockSide()) {
    case AFX_IDW_DOCKBAR_TOP:
        id = kAutoHideTopId;
        break;
    case AFX_IDW_DOCKBAR_LEFT:
        id = kAutoHideLeftId;
        break;
    case AFX_IDW_DOCKBAR_RIGHT:
        id = kAutoHideRightId;
        break;
    case AFX_IDW_DOCKBAR_BOTTOM:
        id = kAutoHideBottomId;
        break;
    default:
        return;
    }
    for (CAutoHideBar* strip : site->findChildren<CAutoHideBar*>()) {
        if (strip->GetDlgCtrlID() == id) {
            strip->AddGroup(this);
            return;
        }
    }
}

void CDockPageBar::AdoptPageWindow(QWidget* page)
{
    if (!page)
        return;
    page->setParent(m_body);
    page->setGeometry(PageArea());
    page->hide();
    LayoutPages();
    m_body->update();
}

QRect CDockPageBar::PageArea() const
{
    QRect r = m_body->rect().adjusted(1, 1, -1, -3);
    if (GetPageCount() > 1)
        r.setBottom(r.bottom() - kTabStripHeight);
    return r;
}

QRect CDockPageBar::TabStripRect() const
{
    if (GetPageCount() < 2)
        return {};
    const QRect body = m_body->rect();
    return QRect(body.left() + 1, body.bottom() - kTabStripHeight, body.width() - 4, kTabStripHeight - 1);
}

void CDockPageBar::LayoutPages()
{
    if (m_PageList.empty())
        return;
    const QRect client = PageArea();
    if (m_PageList.size() == 1) {
        if (QWidget* w = m_PageList.front()->m_pWnd) {
            w->setGeometry(client);
            w->show();
        }
        return;
    }
    const QRect strip = TabStripRect();
    const QRect area(strip.left() + 4, strip.top(), strip.width() - 8, strip.height() - 3);
    int total = 0;
    for (auto& item : m_PageList)
        total += item->m_nWidth;
    const int limit = area.width() / GetPageCount();
    int x = area.left();
    for (auto& item : m_PageList) {
        int width = item->m_nWidth;
        int advance = width;
        if (total > area.width()) {
            width = std::min(limit, item->m_nWidth);
            advance = width + 1;
        }
        // A tab runs from x to x + width - 1.
        item->m_rect = QRect(x, area.top(), std::max(0, width - 1), area.height());
        x += advance;
        if (item->m_pWnd)
            item->m_pWnd->setGeometry(client);
    }
    for (int i = 0; i < GetPageCount(); ++i)
        if (QWidget* w = m_PageList[size_t(i)]->m_pWnd)
            w->setVisible(i == m_nActivePage);
}

int CDockPageBar::TabAt(const QPoint& bodyPos) const
{
    if (!TabStripRect().contains(bodyPos))
        return -1;
    for (int i = 0; i < GetPageCount(); ++i) {
        const QRect& r = m_PageList[size_t(i)]->m_rect;
        if (bodyPos.x() >= r.left() && bodyPos.x() <= r.right())
            return i;
    }
    return -1;
}

void CDockPageBar::DragTabTo(const QPoint& globalPos)
{
    const QPoint pos = m_body->mapFromGlobal(globalPos);
    if (!TabStripRect().contains(pos)) {
        // Leaving the strip tears the page off into a bar of its own.
        m_tabDragging = false;
        if (m_pDockContext) {
            m_pDockContext->m_bPageDrag = true;
            m_pDockContext->StartDrag(globalPos);
        }
        return;
    }
    const int hovered = TabAt(pos);
    if (hovered < 0 || hovered == m_nActivePage || m_nActivePage < 0)
        return;
    std::swap(m_PageList[size_t(hovered)], m_PageList[size_t(m_nActivePage)]);
    m_nActivePage = hovered;
    UpdatePages();
}

QString CDockPageBar::ElideTitle(const QFontMetrics& fm, const QString& text, int room)
{
    QString s = text;
    int dropped = 0;
    while (fm.horizontalAdvance(s) > room && dropped < 10 && !s.isEmpty()) {
        s.chop(2);
        ++dropped;
    }
    if (dropped > 0) {
        s.chop(2);
        s += QStringLiteral("...");
    }
    return s;
}

void CDockPageBar::PaintCaption(QPainter& p, const QRect& r)
{
    p.fillRect(r, QColor(SysRgb(COLOR_BTNFACE)));
    const QRect band(r.left(), r.top(), r.width(), kCaptionBand);
    if (!HasCaption()) {
        p.fillRect(band, QColor(SysRgb(m_bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION)));
        p.setPen(QColor(SysRgb(m_bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)));
        p.setFont(m_font);
        const QString title = ElideTitle(QFontMetrics(m_font), m_Title, band.width() - 20);
        p.drawText(QRect(band.left() + 4, band.top() + 1, std::max(0, band.width() - 24), kCaptionBand - 1),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
        // No edge to pin to while floating: only the close box.
        m_closeButton.Move(r.right() + 1 - 15, r.top() + 2);
        m_pinButton.Move(-100, -100);
        m_closeButton.Paint(p, m_bActive);
        return;
    }
    if (m_bActive) {
        p.fillRect(band, QColor(kActiveCaption));
        p.setPen(Qt::white);
    } else {
        p.fillRect(band, QColor(kInactiveCaption));
        p.setPen(QColor(kInactiveFrame));
        p.drawRect(band.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
    }
    p.setFont(m_font);
    const QString title = ElideTitle(QFontMetrics(m_font), m_Title, band.width() - 30);
    p.drawText(QRect(band.left() + 4, band.top() + 1, std::max(0, band.width() - 34), kCaptionBand - 1),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
    m_closeButton.Move(r.right() + 1 - 15, r.top() + 2);
    m_pinButton.Move(r.right() + 1 - 32, r.top() + 2);
    m_closeButton.Paint(p, m_bActive);
    m_pinButton.Paint(p, m_bActive);
}

void CDockPageBar::PaintBody(QPainter& p)
{
    p.fillRect(m_body->rect(), QColor(SysRgb(COLOR_BTNFACE)));
    p.setPen(QColor(kPageFrame));
    p.drawRect(PageArea().adjusted(-1, -1, 0, 0));
    if (GetPageCount() < 2)
        return;
    const QRect strip = TabStripRect();
    p.fillRect(strip, QColor(kTabStrip));
    p.setPen(QColor(SysRgb(COLOR_3DDKSHADOW)));
    p.drawLine(strip.left(), strip.top(), strip.right(), strip.top());
    for (int i = 0; i < GetPageCount(); ++i)
        m_PageList[size_t(i)]->Draw(p, i == m_nActivePage, m_font);
}

void CDockPageBar::resizeEvent(QResizeEvent* event)
{
    CSizingControlBar::resizeEvent(event);
    LayoutPages();
}

void CDockPageBar::OnFocusChanged()
{
    const QWidget* focus = QApplication::focusWidget();
    const bool active = focus && (focus == this || isAncestorOf(focus));
    if (active != m_bActive) {
        m_bActive = active;
        m_caption->update();
    }
}

QDialog* CDialogPageBar::AddDialogPage(
    const std::function<QDialog*(QWidget* parent)>& make, const QString& title, const QIcon& icon)
{
    QDialog* dialog = make ? make(Body()) : nullptr;
    if (!dialog)
        return nullptr;
    AddPage(dialog, title, icon);
    return dialog;
}

} // namespace ulv
