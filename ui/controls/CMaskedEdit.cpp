#include "ui/controls/CMaskedEdit.h"

#include <QKeyEvent>

namespace ulv {

CMaskedEdit::CMaskedEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

bool CMaskedEdit::Create(const QRect& rect, QWidget* parent, int /*id*/)
{
    if (!parent)
        return false;
    setParent(parent);
    setGeometry(rect);
    clear();
    show();
    return true;
}

void CMaskedEdit::SetMask(unsigned mask)
{
    m_mask = mask;
    m_bDeleteAllowed = false;
}

bool CMaskedEdit::IsLayout(unsigned mask)
{
    return mask == kTime || mask == kDate || mask == kPairs;
}

bool CMaskedEdit::IsSeparator(unsigned mask, int position)
{
    switch (mask) {
    case kTime:
        return position == 2 || position == 5;
    case kDate:
        return position == 4 || position == 7;
    case kPairs:
        return position == 2 || position == 5 || position == 8;
    default:
        return false;
    }
}

int CMaskedEdit::LastTypingPosition(unsigned mask)
{
    switch (mask) {
    case kTime:
        return 7;
    case kDate:
        return 9;
    case kPairs:
        return 10;
    default:
        return -1;
    }
}

bool CMaskedEdit::event(QEvent* e)
{
    // Tab reaches the edit too, as every key does.
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Tab) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QLineEdit::event(e);
}

void CMaskedEdit::MoveCaret(int step)
{
    int p = cursorPosition() + step;
    p = std::clamp(p, 0, int(text().size()));
    if (IsSeparator(m_mask, p))
        p = std::clamp(p + step, 0, int(text().size()));
    setCursorPosition(p);
}

void CMaskedEdit::TypeChar(QChar c)
{
    const ushort u = c.unicode();
    unsigned charClass;
    if (u < 32)
        charClass = 0xFFFF;
    else if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        charClass = 1;
    else if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')))
        charClass = 2;
    else
        charClass = 4;
    if (!(charClass & m_mask)) {
        OnBadChar();
        return;
    }
    if (!IsLayout(m_mask)) {
        insert(QString(c));
        return;
    }
    if (u <= 32)
        return;
    const int p = hasSelectedText() ? selectionStart() : cursorPosition();
    if (p > LastTypingPosition(m_mask) || IsSeparator(m_mask, p))
        return;
    // Overtype: the character at the caret goes, the typed one takes its place.
    m_bDeleteAllowed = true;
    QString t = text();
    if (p < t.size())
        t.remove(p, 1);
    m_bDeleteAllowed = false;
    t.insert(p, c);
    setText(t);
    setCursorPosition(p + 1);
    if (IsSeparator(m_mask, p + 1))
        setCursorPosition(p + 2);
}

void CMaskedEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        const bool enter = key != Qt::Key_Escape;
        if (m_bPopup == 1) {
            m_bPopup = 0;
            if (enter)
                m_nPopupResult = 0;
            hide();
        } else {
            const long flags = long(event->nativeScanCode() & 0xFFFF) << 16;
            Q_EMIT MaskedEditKey(enter ? 13 : 27, flags | (event->isAutoRepeat() ? 2 : 1));
        }
        return;
    }
    if (!IsLayout(m_mask)) {
        const QString typed = event->text();
        if (typed.size() == 1 && typed[0].unicode() >= 32 && !(event->modifiers() & Qt::ControlModifier)) {
            TypeChar(typed[0]);
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    switch (key) {
    case Qt::Key_Backspace:
        MoveCaret(-1); // the Delete that follows is not allowed here
        return;
    case Qt::Key_Shift:
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!(event->modifiers() & Qt::ShiftModifier))
            MoveCaret(key == Qt::Key_Left ? -1 : 1);
        return;
    case Qt::Key_Delete:
        if (m_bDeleteAllowed)
            QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && !(event->modifiers() & Qt::ControlModifier)) {
        TypeChar(typed[0]);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CMaskedEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (!IsLayout(m_mask))
        QLineEdit::mouseMoveEvent(event);
}

void CMaskedEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!IsLayout(m_mask))
        QLineEdit::mouseDoubleClickEvent(event);
}

} // namespace ulv
