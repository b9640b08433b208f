#include "shell/CTerminalRichEdit.h"

#include "core/at/PortTransmitter.h"
#include "shell/core/TerminalKeys.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace ulv {

CTerminalRichEdit::CTerminalRichEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_sendByte = [](unsigned char byte) {
        // One byte as typed: no echo, no line end, in turn with every other text.
        if (PortTransmitter* tx = GetModuleTransmitter())
            tx->SendByte(byte);
    };
}

bool CTerminalRichEdit::event(QEvent* event)
{
    // Every key without Alt is the box's own (it becomes a byte for the module),
    // so the main window's accelerators never see Ctrl+Z, Ctrl+C or F6 typed
    // here; Alt keeps reaching the menus, Page Up and Down keep scrolling.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->modifiers().testFlag(Qt::AltModifier) && key->key() != Qt::Key_PageUp
            && key->key() != Qt::Key_PageDown) {
            key->accept();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void CTerminalRichEdit::keyPressEvent(QKeyEvent* event)
{
    const TerminalKeyAction action = TerminalKey(event->key(), event->modifiers(), event->text());
    switch (action.kind) {
    case TerminalKeyAction::Default:
        QPlainTextEdit::keyPressEvent(event);
        return;
    case TerminalKeyAction::Copy:
        copy();
        break;
    case TerminalKeyAction::Send:
        if (m_sendByte)
            m_sendByte(action.byte);
        break;
    case TerminalKeyAction::Discard:
        break;
    }
    event->accept();
}

QMenu* CTerminalRichEdit::BuildContextMenu()
{
    auto* menu = new QMenu(this);
    QAction* copyAction = menu->addAction(QStringLiteral("C&opy"), this, &QPlainTextEdit::copy);
    copyAction->setEnabled(textCursor().hasSelection());
    menu->addSeparator();
    menu->addAction(QStringLiteral("C&lear all"), this, [this] {
        if (m_clear)
            m_clear();
        else
            clear();
    });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Select &All"), this, &QPlainTextEdit::selectAll);
    return menu;
}

void CTerminalRichEdit::contextMenuEvent(QContextMenuEvent* event)
{
    setFocus();
    QMenu* menu = BuildContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace ulv
