#include "shell/core/WindowPlacement.h"

#include <algorithm>

namespace ulv {

int MainWindowMinHeight(const QRect& workArea)
{
    return std::min(kMainWindowMinHeight, workArea.height());
}

QRect PlaceMainWindow(const QRect& workArea, int nwidth, int nheight)
{
    // A window larger than the work area would hide its bottom rows (status
    // bar, send panel) below the screen's edge, and a size from a damaged file
    // would ask for gigabytes of window image: it gets the work area's size,
    // never narrower than the pages are laid out for, and no lower than the
    // smallest height that still fits.
    const int w = std::max(kMainWindowMinWidth, std::min(nwidth, workArea.width()));
    const int minH = MainWindowMinHeight(workArea);
    const int h = std::min(std::max(nheight, minH), std::max(minH, workArea.height()));
    const int x = workArea.width() > w ? workArea.x() + (workArea.width() - w) / 2 : workArea.x();
    const int y = workArea.height() > h ? workArea.y() + (workArea.height() - h) / 2 : workArea.y();
    return QRect(x, y, w, h);
}

} // namespace ulv
