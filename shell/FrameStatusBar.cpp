#include "shell/FrameStatusBar.h"

#include <QPaintEvent>
#include <QPainter>

namespace ulv {

FrameStatusBar::FrameStatusBar(QWidget* parent)
    : QStatusBar(parent)
    , m_crBack(GetSysColor(COLOR_BTNFACE))
{
    setSizeGripEnabled(false);
    // The bar paints all of itself: the window behind it need not paint first
    // (the clock pane changes every second).
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Menu and toolbar prompts show in the first pane while they last.
    connect(this, &QStatusBar::messageChanged, this, [this] { update(PaneRect(0)); });
}

void FrameStatusBar::SetPaneText(int pane, const QString& text)
{
    if (pane < 0 || pane >= kPaneCount || m_texts[std::size_t(pane)] == text)
        return;
    const int before = PaneWidth(pane);
    m_texts[std::size_t(pane)] = text;
    m_widths[std::size_t(pane)] = -1;
    if (PaneWidth(pane) == before) {
        update(PaneRect(pane));
        return;
    }
    // The panes left of it move: the log box over pane 1 follows.
    update();
    Q_EMIT Resized();
}

int FrameStatusBar::PaneWidth(int pane) const
{
    if (pane < 1 || pane >= kPaneCount)
        return 0;
    const int given = kPaneWidths[std::size_t(pane)];
    // Pane 1 lies under the log box, which scrolls its own text.
    if (pane == 1)
        return given;
    // Measured once per text and font: every paint asks for every pane's place.
    int& width = m_widths[std::size_t(pane)];
    if (width < 0)
        width = std::max(given, fontMetrics().horizontalAdvance(m_texts[std::size_t(pane)]) + 2 * kTextMargin + 2);
    return width;
}

void FrameStatusBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_widths.fill(-1);
    QStatusBar::changeEvent(event);
}

QString FrameStatusBar::ShownText(int pane) const
{
    if (pane == 0 && !currentMessage().isEmpty())
        return currentMessage();
    return PaneText(pane);
}

QString FrameStatusBar::PaneText(int pane) const
{
    return pane >= 0 && pane < kPaneCount ? m_texts[std::size_t(pane)] : QString();
}

void FrameStatusBar::SetBkColor(COLORREF color)
{
    m_crBack = color;
    update();
}

QRect FrameStatusBar::PaneRect(int pane) const
{
    if (pane < 0 || pane >= kPaneCount)
        return {};
    int fixed = 0;
    for (int i = 1; i < kPaneCount; ++i)
        fixed += PaneWidth(i) + kPaneGap;
    const int top = 2;
    const int h = std::max(0, height() - top);
    const int first = std::max(0, width() - fixed);
    if (pane == 0)
        return { 0, top, first, h };
    int x = first + kPaneGap;
    for (int i = 1; i < pane; ++i)
        x += PaneWidth(i) + kPaneGap;
    return { x, top, PaneWidth(pane), h };
}

QSize FrameStatusBar::sizeHint() const
{
    return { QStatusBar::sizeHint().width(), std::max(22, fontMetrics().height() + 8) };
}

QSize FrameStatusBar::minimumSizeHint() const { return { 0, sizeHint().height() }; }

void FrameStatusBar::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    FillSolidRect(p, event->rect(), m_crBack);
    p.setFont(font());
    p.setPen(QColor(SysRgb(COLOR_BTNTEXT)));
    for (int i = 0; i < kPaneCount; ++i) {
        const QRect r = PaneRect(i);
        // Only the panes that changed are laid out and drawn again.
        if (!r.intersects(event->rect()))
            continue;
        Draw3dRect(p, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        p.drawText(
            r.adjusted(kTextMargin, 1, -kTextMargin, -1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_texts[std::size_t(i)]);
    }
}

void FrameStatusBar::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    Q_EMIT Resized();
}

} // namespace ulv
