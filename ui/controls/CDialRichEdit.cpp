#include "ui/controls/CDialRichEdit.h"

#include "ui/core/KeyFilters.h"

#include <QKeyEvent>

namespace ulv {

CDialRichEdit::CDialRichEdit(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
}

void CDialRichEdit::keyPressEvent(QKeyEvent* event)
{
    if (!DialKeyAccepted(event->key(), event->modifiers(), event->text())) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

} // namespace ulv
