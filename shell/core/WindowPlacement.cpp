#include "shell/core/WindowPlacement.h"

#include <algorithm>

namespace ulv {

QRect PlaceMainWindow(const QRect& workArea, int nwidth, int nheight)
{
    // Never larger than the work area (a size from a damaged file would ask for
    // gigabytes of window image), never below the smallest size.
    const int w = std::clamp(nwidth, kMainWindowMinWidth, std::max(kMainWindowMinWidth, workArea.width()));
    const int h = std::clamp(nheight, kMainWindowMinHeight, std::max(kMainWindowMinHeight, workArea.height()));
    const int x = workArea.width() > w ? workArea.x() + (workArea.width() - w) / 2 : workArea.x();
    const int y = workArea.height() > h ? workArea.y() + (workArea.height() - h) / 2 : workArea.y();
    return QRect(x, y, w, h);
}

} // namespace ulv
