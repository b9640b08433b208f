#include "ui/controls/GdiLines.h"

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <vector>

namespace ulv {

void DrawLineTo(QPainter& p, QPoint from, QPoint to, COLORREF color)
{
    // Bresenham from `from` towards `to`, stopping one step short of it.
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    std::vector<QPoint> points;
    while (x != to.x() || y != to.y()) {
        points.emplace_back(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    if (points.empty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ColorRefToQColor(color), 1));
    p.drawPoints(points.data(), static_cast<int>(points.size()));
    p.restore();
}

void InvertImageRect(QImage& image, const QRect& r)
{
    const QRect area = r.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            image.setPixel(x, y, qRgba(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c), qAlpha(c)));
        }
    }
}

} // namespace ulv
