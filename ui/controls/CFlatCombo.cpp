#include "ui/controls/CFlatCombo.h"

#include "ui/controls/CFlatComboBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace ulv {

CFlatCombo::CFlatCombo(QWidget* parent)
    : QComboBox(parent)
    , m_nThumbWidth(GetSystemMetrics(SM_CXHTHUMB))
{
    setAttribute(Qt::WA_Hover, true);
}

void CFlatCombo::DrawCombo(QPainter& p, int state, COLORREF topLeft, COLORREF bottomRight)
{
    m_paintedState = state;
    Draw3dRect(p, rect(), topLeft, bottomRight);
    CFlatComboBox::PaintFlatParts(p, rect(), m_nThumbWidth, state, isEnabled(), false);
}

void CFlatCombo::paintEvent(QPaintEvent* event)
{
    QComboBox::paintEvent(event);
    if (width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (m_bLMouseDown)
        DrawCombo(p, CFlatComboBox::FC_DRAWPRESSED, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (m_bHover || m_bHasFocus)
        DrawCombo(p, CFlatComboBox::FC_DRAWRAISED, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else
        DrawCombo(p, CFlatComboBox::FC_DRAWNORMAL, face, face);
}

void CFlatCombo::enterEvent(QEnterEvent* event)
{
    QComboBox::enterEvent(event);
    m_bHover = true;
    update();
}

void CFlatCombo::leaveEvent(QEvent* event)
{
    QComboBox::leaveEvent(event);
    m_bHover = false;
    update();
}

void CFlatCombo::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    m_bHasFocus = true;
    update();
}

void CFlatCombo::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    m_bHasFocus = false;
    update();
}

void CFlatCombo::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_bLMouseDown = true;
        repaint();
    }
    QComboBox::mousePressEvent(event);
}

void CFlatCombo::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_bLMouseDown = false;
        update();
    }
    QComboBox::mouseReleaseEvent(event);
}

void CFlatCombo::keyPressEvent(QKeyEvent* event)
{
    if ((event->modifiers() & Qt::AltModifier) && !event->text().isEmpty()) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CFlatCombo::hidePopup()
{
    QComboBox::hidePopup();
    m_bLMouseDown = false;
    update();
}

} // namespace ulv
