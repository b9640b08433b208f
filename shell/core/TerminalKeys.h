#pragma once

#include <QString>
#include <Qt>

namespace ulv {

// What a key typed into the terminal does.
struct TerminalKeyAction {
    enum Kind { Discard, Default, Copy, Send } kind = Discard;
    unsigned char byte = 0; // with Send
};

// Keys become the bytes a plain serial terminal would send: the character the
// key produces (so Shift and Caps Lock and the keyboard layout count), Enter 0x0D,
// Backspace 0x08, Escape 0x1B, Ctrl+Z 0x1A. Ctrl+C copies; Page Up and Page Down
// scroll; cursor, Tab, Delete, Caps Lock, function keys and other Ctrl
// combinations do nothing; Alt combinations are left to the box.
TerminalKeyAction TerminalKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

} // namespace ulv
