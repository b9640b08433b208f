#include "ui/controls/CHexRichEdit.h"

#include "ui/core/KeyFilters.h"

#include <QKeyEvent>

namespace ulv {

CHexRichEdit::CHexRichEdit(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
}

void CHexRichEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_hexOnly && !HexKeyAccepted(event->key(), event->modifiers(), event->text())) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

} // namespace ulv
