#pragma once

#include <QString>
#include <Qt>

namespace ulv {

// Key filters of the hex and dial boxes. They judge a key press by the
// character it produces (text), not by its key code, so Shift+3 ('#') is not a
// hex digit and keypad 7 is a digit like any other; keys that produce no
// character are judged by their key code.

// Hex digits (either case), space, Backspace, Delete, the cursor keys, and
// Ctrl+V (paste), Ctrl+C (copy) and Ctrl+A (select all).
bool HexKeyAccepted(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// Digits (main keyboard or keypad), '+', Backspace, Delete, Left and Right.
bool DialKeyAccepted(int key, Qt::KeyboardModifiers modifiers, const QString& text);

} // namespace ulv
