#pragma once

class QWidget;

namespace ulv {

// Every dialog of the program is grey (COLORREF 0xCDCDCD) with its static
// texts in COLORREF 0x333399, drawn on the grey.
void ApplyDialogLook(QWidget* dialog);

} // namespace ulv
