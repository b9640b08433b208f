#include "ui/controls/CMaskBitmapButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace ulv {

CMaskBitmapButton::CMaskBitmapButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
    , m_textColor(GetSysColor(COLOR_BTNTEXT))
{
    setAttribute(Qt::WA_Hover);
}

void CMaskBitmapButton::PreSubclassWindow(unsigned style)
{
    if ((style & 0x3) == 0x3)
        m_kind = kCheckBox;
    else if ((style & 0x9) == 0x9)
        m_kind = kRadio;
    else
        m_kind = kPush;
}

QRegion CMaskBitmapButton::RegionFromMask(const QImage& mask)
{
    QRegion region;
    const QImage img = mask.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                ++x;
            const int start = x;
            while (x < img.width() && (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

bool CMaskBitmapButton::SetSkin(const QImage& normal, const QImage& pressed, const QImage& hover,
    const QImage& disabled, const QImage& focus, const QImage& mask, short drawMode, short edge, short margin)
{
    m_normal = normal;
    m_pressed = pressed;
    m_hover = hover;
    m_disabled = disabled.isNull() ? normal : disabled;
    m_focus = focus;
    m_mask = mask;
    m_drawMode = drawMode < 0 ? kNormal : (drawMode > 1 ? kTile : drawMode);
    m_edge = edge;
    m_margin = margin < 0 ? 0 : margin;
    update();
    if (m_mask.isNull()) {
        clearMask();
        return false;
    }
    if (m_drawMode == kNormal)
        resize(m_mask.size());
    setMask(RegionFromMask(m_mask));
    return true;
}

COLORREF CMaskBitmapButton::SetTextColor(COLORREF color)
{
    const COLORREF old = m_textColor;
    m_textColor = color;
    update();
    return old;
}

void CMaskBitmapButton::SetToolTipText(const QString& text)
{
    setToolTip(text);
}

void CMaskBitmapButton::SetCheck(bool checked)
{
    m_checked = m_kind == kPush ? false : checked;
    if (m_kind == kRadio && m_checked && parentWidget()) {
        for (auto* other : parentWidget()->findChildren<CMaskBitmapButton*>(Qt::FindDirectChildrenOnly))
            if (other != this && other->m_kind == kRadio)
                other->Uncheck();
    }
    update();
}

void CMaskBitmapButton::Uncheck()
{
    if (m_checked) {
        m_checked = false;
        update();
    }
}

void CMaskBitmapButton::mousePressEvent(QMouseEvent* event)
{
    m_hovered = false;
    QPushButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_held = true;
}

void CMaskBitmapButton::mouseMoveEvent(QMouseEvent* event)
{
    if (m_held) {
        // The pushed face follows whether the cursor is over the button.
        const bool over = rect().contains(event->position().toPoint());
        if (over != isDown())
            setDown(over);
        update();
        return;
    }
    if (!m_hovered) {
        m_hovered = true;
        update();
    }
}

void CMaskBitmapButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_held && rect().contains(event->position().toPoint())) {
        if (m_kind == kCheckBox)
            SetCheck(!m_checked);
        else if (m_kind == kRadio)
            SetCheck(true);
    }
    m_held = false;
    QPushButton::mouseReleaseEvent(event);
}

void CMaskBitmapButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is a second click.
    mousePressEvent(event);
}

void CMaskBitmapButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        if (m_kind == kCheckBox)
            SetCheck(!m_checked);
        else if (m_kind == kRadio)
            SetCheck(true);
    }
    QPushButton::keyPressEvent(event);
}

void CMaskBitmapButton::focusOutEvent(QFocusEvent* event)
{
    m_held = false;
    QPushButton::focusOutEvent(event);
}

void CMaskBitmapButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    if (!m_held) {
        m_hovered = true;
        update();
    }
}

void CMaskBitmapButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    m_hovered = false;
    update();
}

void CMaskBitmapButton::DrawFace(QPainter& p, const QImage& face, const QRect& r) const
{
    if (face.isNull()) {
        p.fillRect(r, QColor(SysRgb(COLOR_BTNFACE)));
        return;
    }
    if (m_drawMode == kTile) {
        for (int y = r.top(); y <= r.bottom(); y += face.height())
            for (int x = r.left(); x <= r.right(); x += face.width())
                p.drawImage(QPoint(x, y), face);
        return;
    }
    QImage shown = face.convertToFormat(QImage::Format_ARGB32);
    if (!m_mask.isNull()) {
        // White mask pixels leave what lies behind.
        const QImage mask = m_mask.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < std::min(shown.height(), mask.height()); ++y)
            for (int x = 0; x < std::min(shown.width(), mask.width()); ++x)
                if ((mask.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                    shown.setPixel(x, y, 0);
    }
    if (m_drawMode == kStretch)
        p.drawImage(r, shown);
    else
        p.drawImage(r.topLeft(), shown);
}

void CMaskBitmapButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    const QRect caption = r.adjusted(m_margin + 2, 0, -(m_margin + 2), 0);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    p.setFont(font());
    if (!isEnabled()) {
        DrawFace(p, m_disabled, r);
        if (m_edge)
            DrawEdge(p, r, EDGE_RAISED);
        p.setPen(QColor(SysRgb(COLOR_BTNHIGHLIGHT)));
        p.drawText(caption, flags, text());
        p.setPen(QColor(SysRgb(COLOR_GRAYTEXT)));
        p.drawText(caption.translated(-1, -1), flags, text());
        return;
    }
    p.setPen(ColorRefToQColor(m_textColor));
    if (isDown() || m_checked) {
        DrawFace(p, m_pressed, r);
        p.drawText(caption.translated(1, 1), flags, text());
        if (m_edge)
            DrawEdge(p, r, EDGE_SUNKEN);
        return;
    }
    if (m_hovered && !m_hover.isNull())
        DrawFace(p, m_hover, r);
    else if (hasFocus() && !m_focus.isNull())
        DrawFace(p, m_focus, r);
    else
        DrawFace(p, m_normal, r);
    if (m_edge)
        DrawEdge(p, r, EDGE_RAISED);
    if (hasFocus() && m_margin > 0)
        DrawFocusRect(p, r.adjusted(m_margin, m_margin, -m_margin, -m_margin));
    p.setPen(ColorRefToQColor(m_textColor));
    p.drawText(caption, flags, text());
}

} // namespace ulv
