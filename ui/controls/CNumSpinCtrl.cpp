#include "ui/controls/CNumSpinCtrl.h"

#include "ui/controls/CNumEdit.h"
#include "ui/controls/WinLook.h"

#include <QMouseEvent>
#include <QPainter>

namespace ulv {

namespace {

constexpr int kSpinLower = 0;
constexpr int kSpinUpper = 1000;
constexpr int kSpinMiddle = 500;

void DrawArrow(QPainter& p, const QRect& r, bool up, COLORREF color)
{
    // A small filled triangle centred in r.
    const QPoint c = r.center();
    const int w = 3;
    QPolygon tri;
    if (up)
        tri << QPoint(c.x() - w, c.y() + 1) << QPoint(c.x() + w, c.y() + 1) << QPoint(c.x(), c.y() - 2);
    else
        tri << QPoint(c.x() - w, c.y() - 1) << QPoint(c.x() + w, c.y() - 1) << QPoint(c.x(), c.y() + 2);
    p.setPen(Qt::NoPen);
    p.setBrush(ColorRefToQColor(color));
    p.drawPolygon(tri);
}

} // namespace

CNumSpinCtrl::CNumSpinCtrl(QWidget* parent)
    : QWidget(parent)
{
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(100);
        if (m_pressedDelta != 0)
            OnDeltaPos(m_pressedDelta);
    });
}

QSize CNumSpinCtrl::sizeHint() const
{
    return {GetSystemMetrics(SM_CXVSCROLL), 22};
}

CNumEdit* CNumSpinCtrl::NumBuddy() const
{
    return qobject_cast<CNumEdit*>(m_buddy.data());
}

QWidget* CNumSpinCtrl::SetBuddy(QWidget* buddy)
{
    QWidget* previous = m_buddy;
    m_buddy = buddy;
    if (CNumEdit* edit = NumBuddy())
        edit->SetValue(0.0f);
    return previous;
}

void CNumSpinCtrl::SetDelta(float delta)
{
    if (CNumEdit* edit = NumBuddy())
        edit->SetDelta(delta);
}

float CNumSpinCtrl::GetDelta() const
{
    const CNumEdit* edit = NumBuddy();
    return edit ? edit->GetDelta() : 0.0f;
}

void CNumSpinCtrl::GetRange(float& minimum, float& maximum) const
{
    if (const CNumEdit* edit = NumBuddy())
        edit->GetRange(minimum, maximum);
}

void CNumSpinCtrl::SetRange(float minimum, float maximum)
{
    if (CNumEdit* edit = NumBuddy())
        edit->SetRange(minimum, maximum);
}

float CNumSpinCtrl::GetPos() const
{
    const CNumEdit* edit = NumBuddy();
    return edit ? edit->GetValue() : 0.0f;
}

void CNumSpinCtrl::SetPos(float value)
{
    m_pos = kSpinMiddle;
    if (CNumEdit* edit = NumBuddy())
        edit->SetValue(value);
}

void CNumSpinCtrl::OnDeltaPos(int delta)
{
    m_pos += delta;
    if (m_pos <= kSpinLower + std::abs(delta) || m_pos >= kSpinUpper - std::abs(delta))
        m_pos = kSpinMiddle;
    if (CNumEdit* edit = NumBuddy())
        edit->ChangeAmount(delta);
}

void CNumSpinCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect up(0, 0, width(), half);
    const QRect down(0, half, width(), height() - half);
    FillSolidRect(p, rect(), GetSysColor(COLOR_BTNFACE));
    DrawEdge(p, up, m_pressedDelta > 0 ? EDGE_SUNKEN : EDGE_RAISED);
    DrawEdge(p, down, m_pressedDelta < 0 ? EDGE_SUNKEN : EDGE_RAISED);
    const COLORREF arrow = GetSysColor(isEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    DrawArrow(p, up, true, arrow);
    DrawArrow(p, down, false, arrow);
}

void CNumSpinCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressedDelta = event->position().y() < height() / 2 ? 1 : -1;
    OnDeltaPos(m_pressedDelta);
    m_repeat.start(400);
    update();
}

void CNumSpinCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressedDelta = 0;
    m_repeat.stop();
    update();
}

} // namespace ulv
