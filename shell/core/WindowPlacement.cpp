#include "shell/core/WindowPlacement.h"

#include <algorithm>

namespace ulv {

QRect PlaceMainWindow(const QRect& workArea, int nwidth, int nheight)
{
    const int w = std::max(nwidth, kMainWindowMinWidth);
    const int h = std::max(nheight, kMainWindowMinHeight);
    const int x = workArea.width() > w ? workArea.x() + (workArea.width() - w) / 2 : workArea.x();
    const int y = workArea.height() > h ? workArea.y() + (workArea.height() - h) / 2 : workArea.y();
    return QRect(x, y, w, h);
}

} // namespace ulv
