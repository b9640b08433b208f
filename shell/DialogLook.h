#pragma once

class QWidget;

namespace ulv {

// Every dialog of the program is grey (COLORREF 0xCDCDCD) with its static
// texts in COLORREF 0x333399, drawn on the grey.
void ApplyDialogLook(QWidget* dialog);

// Widens each check box, radio button and text label directly on the dialog
// whose text needs more room than its box has in our fonts (the boxes are
// laid out for the narrower Windows faces). Nothing moves or gets narrower.
void WidenBoxesToTexts(QWidget* dialog);

} // namespace ulv
