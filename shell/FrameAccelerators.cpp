#include "shell/FrameAccelerators.h"

#include <QKeyEvent>

namespace ulv {

const std::vector<FrameAccelerator>& FrameAcceleratorTable()
{
    static const std::vector<FrameAccelerator> table{
        { kFileNewCommand, QKeySequence(Qt::CTRL | Qt::Key_N) },
        { kFileOpenCommand, QKeySequence(Qt::CTRL | Qt::Key_A) },
        { kFileSaveCommand, QKeySequence(Qt::CTRL | Qt::Key_S) },
        { kFilePrintCommand, QKeySequence(Qt::CTRL | Qt::Key_P) },
        { kEditUndoCommand, QKeySequence(Qt::CTRL | Qt::Key_Z) },
        { kEditUndoCommand, QKeySequence(Qt::ALT | Qt::Key_Backspace) },
        { kEditCutCommand, QKeySequence(Qt::CTRL | Qt::Key_X) },
        { kEditCutCommand, QKeySequence(Qt::SHIFT | Qt::Key_Delete) },
        { kEditCopyCommand, QKeySequence(Qt::CTRL | Qt::Key_C) },
        { kEditCopyCommand, QKeySequence(Qt::CTRL | Qt::Key_Insert) },
        { kEditPasteCommand, QKeySequence(Qt::CTRL | Qt::Key_V) },
        { kEditPasteCommand, QKeySequence(Qt::SHIFT | Qt::Key_Insert) },
        { kNextPaneCommand, QKeySequence(Qt::Key_F6) },
        { kPrevPaneCommand, QKeySequence(Qt::SHIFT | Qt::Key_F6) },
    };
    return table;
}

bool IsFrameAcceleratorKey(const QKeyEvent& key)
{
    // The keypad flag would make Shift+Ins on the number block a different key.
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const QKeyCombination pressed(mods, Qt::Key(key.key()));
    for (const FrameAccelerator& a : FrameAcceleratorTable()) {
        if (a.key[0] == pressed)
            return true;
    }
    return false;
}

bool ClaimAcceleratorKey(QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!IsFrameAcceleratorKey(*key))
        return false;
    key->accept();
    return true;
}

} // namespace ulv
