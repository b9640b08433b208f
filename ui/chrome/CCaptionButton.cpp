#include "ui/chrome/CCaptionButton.h"

#include "ui/controls/WinLook.h"

#include <QPainter>

namespace ulv {

void CCaptionButton::Paint(QPainter& p, bool /*active*/) const
{
    const QRect r = GetRect();
    if (m_bPushed)
        Draw3dRect(p, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (m_bHot)
        Draw3dRect(p, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

void CCaptionCloseButton::Paint(QPainter& p, bool active) const
{
    CCaptionButton::Paint(p, active);
    // The symbol font's "r" is a cross; a drawn cross of the same cell looks
    // the same without depending on that font being installed.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(active ? Qt::white : Qt::black, 1));
    const int x = m_x + 3;
    const int y = m_y + 3;
    for (int i = 0; i < 2; ++i) {
        p.drawLine(x + i, y, x + 6 + i, y + 6);
        p.drawLine(x + 6 + i, y, x + i, y + 6);
    }
    p.restore();
}

void CCaptionFlatButton::Paint(QPainter& p, bool active) const
{
    CCaptionButton::Paint(p, active);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(active ? Qt::white : Qt::black, 1));
    const int x = m_x;
    const int y = m_y;
    if (!m_bPinned) {
        const QPoint body[4] = {{x + 4, y + 8}, {x + 4, y + 3}, {x + 8, y + 3}, {x + 8, y + 8}};
        p.drawPolyline(body, 4);
        p.drawLine(x + 7, y + 3, x + 7, y + 8);
        p.drawLine(x + 2, y + 8, x + 11, y + 8);
        p.drawLine(x + 6, y + 8, x + 6, y + 12);
    } else {
        const QPoint body[4] = {{x + 5, y + 4}, {x + 10, y + 4}, {x + 10, y + 8}, {x + 5, y + 8}};
        p.drawPolyline(body, 4);
        p.drawLine(x + 5, y + 7, x + 10, y + 7);
        p.drawLine(x + 5, y + 2, x + 5, y + 11);
        p.drawLine(x + 1, y + 6, x + 5, y + 6);
    }
    p.restore();
}

} // namespace ulv
