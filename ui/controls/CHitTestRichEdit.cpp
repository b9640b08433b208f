#include "ui/controls/CHitTestRichEdit.h"

#include "platform/MessageBox.h"

#include <QMouseEvent>

namespace ulv {

CHitTestRichEdit::CHitTestRichEdit(QWidget* parent)
    : QTextEdit(parent)
{
    viewport()->setMouseTracking(true);
}

void CHitTestRichEdit::OnNcHitTest(const QPoint& screen)
{
    ShowMessageBox(QStringLiteral("%1,%2").arg(screen.x()).arg(screen.y()), MB_OK);
}

void CHitTestRichEdit::mouseMoveEvent(QMouseEvent* event)
{
    OnNcHitTest(event->globalPosition().toPoint());
    QTextEdit::mouseMoveEvent(event);
}

} // namespace ulv
