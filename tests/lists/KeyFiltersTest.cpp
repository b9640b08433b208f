#include "ui/core/KeyFilters.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {

struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    bool hex;
    bool dial;
};

} // namespace

TEST(KeyFilters, JudgeByTheCharacterTyped)
{
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const KeyCase cases[] = {
        {Qt::Key_1, none, "1", true, true},
        {Qt::Key_A, shift, "A", true, false},
        {Qt::Key_F, none, "f", true, false},
        {Qt::Key_G, none, "g", false, false},
        {Qt::Key_Space, none, " ", true, false},
        {Qt::Key_NumberSign, shift, "#", false, false},   // Shift+3
        {Qt::Key_Asterisk, shift, "*", false, false},     // Shift+8
        {Qt::Key_7, pad, "7", true, true},                // keypad 7
        {Qt::Key_0, pad, "0", true, true},
        {Qt::Key_Plus, shift, "+", false, true},          // Shift+=
        {Qt::Key_Plus, pad, "+", false, true},
        {Qt::Key_Backspace, none, "\b", true, true},
        {Qt::Key_Delete, none, "\x7f", true, true},
        {Qt::Key_Left, none, "", true, true},
        {Qt::Key_Home, none, "", true, false},
        {Qt::Key_V, ctrl, "\x16", true, false},
        {Qt::Key_V, none, "v", false, false},
        {Qt::Key_B, ctrl, "\x02", false, false},
        {Qt::Key_F7, none, "", false, false},
        {Qt::Key_Return, none, "\r", false, false},
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(HexKeyAccepted(c.key, c.modifiers, c.text), c.hex) << "hex " << c.text << " key " << c.key;
        EXPECT_EQ(DialKeyAccepted(c.key, c.modifiers, c.text), c.dial) << "dial " << c.text << " key " << c.key;
    }
}
