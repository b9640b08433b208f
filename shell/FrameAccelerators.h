#pragma once

#include <QKeySequence>
#include <vector>

class QEvent;
class QKeyEvent;

namespace ulv {

// The main window's accelerator keys and the command each one gives.
struct FrameAccelerator {
    unsigned command;
    QKeySequence key;
};

enum : unsigned {
    kFileNewCommand = 57600,
    kFileOpenCommand = 57601,
    kFileSaveCommand = 57603,
    kFilePrintCommand = 57607,
    kEditCopyCommand = 57634,
    kEditCutCommand = 57635,
    kEditPasteCommand = 57637,
    kEditUndoCommand = 57643,
    kNextPaneCommand = 57680,
    kPrevPaneCommand = 57681,
};

const std::vector<FrameAccelerator>& FrameAcceleratorTable();

// True when the key press is one of the accelerator keys.
bool IsFrameAcceleratorKey(const QKeyEvent& key);

// For a page or a panel's event(): the controls of a dialog get every key
// first, so an accelerator key pressed inside one is the control's, not the
// main window's. True when the event was such a key and is now claimed.
bool ClaimAcceleratorKey(QEvent* event);

} // namespace ulv
