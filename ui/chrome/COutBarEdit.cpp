#include "ui/chrome/COutBarEdit.h"

#include "ui/chrome/CGfxOutBarCtrl.h"

#include <QKeyEvent>

namespace ulv {

COutBarEdit::COutBarEdit(CGfxOutBarCtrl* bar, int kind, int index, int growMode)
    : QLineEdit(bar)
    , m_iType(kind)
    , m_iIndex(index)
    , m_growMode(growMode)
    , m_bar(bar)
{
    setFont(bar->font());
    if (kind == kFolder || growMode != 1)
        setAlignment(Qt::AlignCenter);
    if (kind != kFolder)
        connect(this, &QLineEdit::textChanged, this, &COutBarEdit::Grow);
}

void COutBarEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Finish();
        m_bar->setFocus();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        m_bEscapeKey = true;
        Finish();
        m_bar->setFocus();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void COutBarEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Finish();
}

void COutBarEdit::Finish()
{
    if (m_done)
        return;
    m_done = true;
    if (!m_bEscapeKey && !text().isEmpty())
        m_bar->OnEditEnd(this);
    hide();
    deleteLater();
}

void COutBarEdit::Grow()
{
    // Widen with the text, never past the bar's right edge.
    const int want = fontMetrics().horizontalAdvance(text()) + 8;
    const int limit = m_bar->width() - (m_growMode == 1 ? 1 : 0) - x();
    if (want > width())
        resize(std::min(want, limit), height());
}

} // namespace ulv
