#include "ui/chrome/CBrushBackgroundWnd.h"

#include <QPainter>

namespace ulv {

CBrushBackgroundWnd::CBrushBackgroundWnd(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CBrushBackgroundWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 255, 0));
}

} // namespace ulv
