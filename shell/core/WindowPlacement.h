#pragma once

#include <QRect>

namespace ulv {

// The main window's smallest size: the pages are laid out for it.
inline constexpr int kMainWindowMinWidth = 1100;
inline constexpr int kMainWindowMinHeight = 740;

// The smallest height the window may take in a work area: the usual one, or
// the work area's own height on a lower screen.
int MainWindowMinHeight(const QRect& workArea);

// Where the main window goes when it does not start maximised: nwidth x nheight
// (never below the smallest size, and no larger than the work area unless the
// smallest width is wider), centred in the work area when it fits there, else
// at the work area's left or top edge.
QRect PlaceMainWindow(const QRect& workArea, int nwidth, int nheight);

} // namespace ulv
