#include "ui/controls/CMyFlatButton.h"

#include "ui/controls/WinLook.h"

#include <QMouseEvent>
#include <QPainter>

namespace ulv {

CMyFlatButton::CMyFlatButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setAttribute(Qt::WA_Hover, false);
}

void CMyFlatButton::DrawFrame(QPainter& p, QRect& r, bool selected, bool focused)
{
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (selected)
        Draw3dRect(p, r, shadow, light);
    else if (m_alwaysRaised || focused)
        Draw3dRect(p, r, light, shadow);
    r.adjust(2, 2, -2, -2);
    if (selected)
        r.translate(1, 1);
}

void CMyFlatButton::DrawCaption(QPainter& p, const QRect& r, const QString& text, bool disabled)
{
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (disabled) {
        DrawEmbossedText(p, r, flags, text);
        return;
    }
    p.save();
    p.setPen(ColorRefToQColor(GetSysColor(COLOR_BTNTEXT)));
    p.drawText(r, flags, text);
    p.restore();
}

void CMyFlatButton::DrawButton(QPainter& p, const QRect& r, bool selected, bool focused, bool disabled)
{
    QRect frame = r;
    DrawFrame(p, frame, selected, focused);
    if (!text().isEmpty())
        DrawCaption(p, frame, text(), disabled);
}

void CMyFlatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    FillSolidRect(p, rect(), kBackground);
    DrawButton(p, rect(), isDown(), hasFocus(), !isEnabled());
    // Every other paint the parent's area under the button is redrawn, as the
    // button's grey does not always match what lies beneath it.
    m_paintToggle = !m_paintToggle;
    if (!m_paintToggle && parentWidget())
        parentWidget()->update(geometry());
}

void CMyFlatButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setFocus(Qt::MouseFocusReason);
    QPushButton::mouseReleaseEvent(event);
}

} // namespace ulv
