#pragma once

#include <QRect>

namespace ulv {

// The main window's smallest size: the pages are laid out for it.
inline constexpr int kMainWindowMinWidth = 1100;
inline constexpr int kMainWindowMinHeight = 740;

// Where the main window goes when it does not start maximised: nwidth x nheight
// (never below the smallest size, else never above the work area's), centred in the work area when it fits there,
// else at the work area's left or top edge.
QRect PlaceMainWindow(const QRect& workArea, int nwidth, int nheight);

} // namespace ulv
