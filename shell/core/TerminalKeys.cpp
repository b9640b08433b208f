#include "shell/core/TerminalKeys.h"

namespace ulv {

TerminalKeyAction TerminalKey(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    using A = TerminalKeyAction;
    if (key == Qt::Key_PageUp || key == Qt::Key_PageDown)
        return {A::Default, 0};
    if (modifiers & Qt::AltModifier)
        return {A::Default, 0};
    if (modifiers & Qt::ControlModifier) {
        if (key == Qt::Key_C)
            return {A::Copy, 0};
        if (key == Qt::Key_Z)
            return {A::Send, 0x1A};
        return {A::Discard, 0};
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {A::Send, 0x0D};
    case Qt::Key_Backspace:
        return {A::Send, 0x08};
    case Qt::Key_Escape:
        return {A::Send, 0x1B};
    default:
        break;
    }
    if (text.size() == 1) {
        const char16_t c = text.at(0).unicode();
        if (c >= 0x20 && c < 0x7F)
            return {A::Send, static_cast<unsigned char>(c)};
    }
    return {A::Discard, 0};
}

} // namespace ulv
