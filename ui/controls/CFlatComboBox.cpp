#include "ui/controls/CFlatComboBox.h"

#include <QCompleter>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace ulv {

CFlatComboBox::CFlatComboBox(QWidget* parent)
    : QComboBox(parent)
    , m_nThumbWidth(GetSystemMetrics(SM_CXHTHUMB))
{
    setAttribute(Qt::WA_Hover, true);
    setMouseTracking(true);
    // Auto-completion is off by default: a combo made editable later drops the
    // completer QComboBox gives it (see event()). A combo that is not editable
    // has none, and Qt warns when one is set or cleared on it.
}

bool CFlatComboBox::EnableAutoComplete(bool enable)
{
    m_bAutoComplete = enable;
    if (isEditable()) {
        if (enable) {
            auto* completer = new QCompleter(model(), this);
            completer->setCompletionMode(QCompleter::InlineCompletion);
            completer->setCaseSensitivity(Qt::CaseSensitive);
            setCompleter(completer);
        } else {
            setCompleter(nullptr);
        }
    }
    return m_bAutoComplete;
}

void CFlatComboBox::DropDefaultCompleter()
{
    if (!m_bAutoComplete && isEditable() && completer())
        setCompleter(nullptr);
}

bool CFlatComboBox::event(QEvent* event)
{
    // An editable QComboBox completes typed text by default; the dialogs'
    // combos never do unless asked. The completer comes right after the line
    // edit, so it is dropped once the current call has finished.
    if (event->type() == QEvent::ChildAdded)
        QMetaObject::invokeMethod(this, [this] { DropDefaultCompleter(); }, Qt::QueuedConnection);
    return QComboBox::event(event);
}

void CFlatComboBox::focusInEvent(QFocusEvent* event)
{
    DropDefaultCompleter();
    QComboBox::focusInEvent(event);
}

bool CFlatComboBox::IsCursorOver() const
{
    return m_bHover || rect().contains(mapFromGlobal(QCursor::pos()));
}

QRect CFlatComboBox::ButtonInsideRect() const
{
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const QRect button(inner.right() + 1 - m_nThumbWidth, inner.top(), m_nThumbWidth, inner.height());
    return button.adjusted(2, 2, -2, -2);
}

void CFlatComboBox::PaintFlatParts(QPainter& p, const QRect& client, int thumbWidth, int state, bool enabled,
                                   bool buttonFace)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF sh = GetSysColor(COLOR_BTNSHADOW);

    QRect r = client.adjusted(1, 1, -1, -1);
    const COLORREF outer = enabled ? face : hi;
    Draw3dRect(p, r, outer, outer);
    r.adjust(1, 1, -1, -1);
    if (r.width() <= 0 || r.height() <= 0)
        return;

    QRect button(r.right() + 1 - thumbWidth, r.top(), thumbWidth, r.height());
    Draw3dRect(p, button, face, face);
    button.adjust(1, 1, -1, -1);
    Draw3dRect(p, button, face, face);
    const QRect inside = button.adjusted(1, 1, -1, -1);
    if (inside.width() <= 0 || inside.height() <= 0)
        return;
    if (buttonFace) {
        FillSolidRect(p, inside, kButtonFace);
        const int cx = inside.left() + inside.width() / 2;
        const int cy = inside.top() + inside.height() / 2;
        const QPoint arrow[3] = {{cx - 4, cy - 2}, {cx, cy + 2}, {cx + 4, cy - 2}};
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::black);
        p.setBrush(Qt::black);
        p.drawPolygon(arrow, 3);
        p.restore();
    }
    if (!enabled)
        return;
    const QRect edge = inside.adjusted(0, -1, 0, 1);
    switch (state) {
    case FC_DRAWNORMAL:
        Draw3dRect(p, edge, hi, hi);
        Draw3dRect(p, edge.adjusted(-1, 0, 0, 0), hi, hi);
        break;
    case FC_DRAWRAISED:
        Draw3dRect(p, edge, hi, sh);
        break;
    case FC_DRAWPRESSED:
        Draw3dRect(p, edge.translated(1, 1), sh, hi);
        break;
    default:
        break;
    }
}

void CFlatComboBox::DrawCombo(QPainter& p, int state, COLORREF, COLORREF)
{
    m_paintedState = state;
    PaintFlatParts(p, rect(), m_nThumbWidth, state, isEnabled(), true);
}

void CFlatComboBox::paintEvent(QPaintEvent* event)
{
    QComboBox::paintEvent(event);
    if (width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    int state = FC_DRAWNORMAL;
    if (m_bLMouseDown)
        state = FC_DRAWPRESSED;
    else if (m_bHover)
        state = FC_DRAWRAISED;
    DrawCombo(p, state, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
}

void CFlatComboBox::enterEvent(QEnterEvent* event)
{
    QComboBox::enterEvent(event);
    m_bHover = true;
    update();
}

void CFlatComboBox::leaveEvent(QEvent* event)
{
    QComboBox::leaveEvent(event);
    m_bHover = false;
    update();
}

void CFlatComboBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_bLMouseDown = true;
        repaint();
    }
    QComboBox::mousePressEvent(event);
}

void CFlatComboBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bLMouseDown) {
        m_bLMouseDown = false;
        update();
    }
    QComboBox::mouseReleaseEvent(event);
}

void CFlatComboBox::hidePopup()
{
    QComboBox::hidePopup();
    // The release that ends a drop-down goes to the list, not to us.
    m_bLMouseDown = false;
    m_bHover = IsCursorOver() && underMouse();
    update();
}

} // namespace ulv
